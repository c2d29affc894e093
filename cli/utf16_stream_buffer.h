// A stream buffer that takes the program's UTF-8 and hands it on as UTF-16: how text reaches a Windows console.
#pragma once

#include <functional>
#include <streambuf>
#include <string>
#include <string_view>

namespace brevorn {

class Utf16StreamBuffer : public std::streambuf
{
public:
    // write takes each piece of UTF-16 as it is ready and says whether it went out.
    using Writer = std::function<bool(std::u16string_view)>;

    explicit Utf16StreamBuffer(Writer write);
    ~Utf16StreamBuffer() override;

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* bytes, std::streamsize count) override;
    int sync() override;

private:
    // Converts and writes every whole character in the buffer; the start of a character
    // whose last bytes have not come yet stays for the next write, unless atEnd.
    bool writeOut(bool atEnd);

    Writer m_write;
    std::string m_pending;
};

} // namespace brevorn
