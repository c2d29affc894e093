// brevorn-roster on Windows: the arguments as Windows gives them, in UTF-16, made into the
// program's UTF-8 without the ANSI code page; and output that a console shows as written.
#include "command_line.h"
#include "roster_commands.h"
#include "uncaught_failure.h"
#include "utf16.h"
#include "utf16_stream_buffer.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <iostream>
#include <optional>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace {

// While it lives, a stream that leads to a console writes there in UTF-16 (WriteConsoleW),
// which shows every character whatever the console's code page. A stream redirected to a
// file or a pipe passes its UTF-8 bytes unchanged.
class ConsoleStream
{
public:
    ConsoleStream(std::ostream& stream, DWORD which)
        : m_stream(stream)
    {
        const HANDLE handle = ::GetStdHandle(which);
        DWORD mode = 0;
        if (handle == nullptr || handle == INVALID_HANDLE_VALUE || !::GetConsoleMode(handle, &mode))
            return;
        m_buffer.emplace([handle](std::u16string_view text) {
            // The console takes a few thousand characters at a time at most.
            for (std::size_t done = 0; done < text.size();) {
                const DWORD size = DWORD(std::min<std::size_t>(text.size() - done, 8192));
                DWORD written = 0;
                if (!::WriteConsoleW(handle, text.data() + done, size, &written, nullptr) || written == 0)
                    return false;
                done += written;
            }
            return true;
        });
        m_original = m_stream.rdbuf(&*m_buffer);
    }
    ConsoleStream(const ConsoleStream&) = delete;
    ConsoleStream& operator=(const ConsoleStream&) = delete;
    ~ConsoleStream()
    {
        if (m_buffer) {
            m_stream.flush();
            m_stream.rdbuf(m_original);
        }
    }

private:
    std::ostream& m_stream;
    std::optional<brevorn::Utf16StreamBuffer> m_buffer;
    std::streambuf* m_original = nullptr;
};

} // namespace

int wmain(int argc, wchar_t** argv)
{
    std::vector<std::string> args;
    try {
        // Tables go out byte for byte: CR LF row ends must not gain a CR on the way.
        std::fflush(stdout);
        ::_setmode(::_fileno(stdout), _O_BINARY);
        const ConsoleStream out(std::cout, STD_OUTPUT_HANDLE);
        const ConsoleStream err(std::cerr, STD_ERROR_HANDLE);
        try {
            for (int i = 1; i < argc; ++i) {
                const std::wstring_view arg(argv[i]);
                // NTFS allows such a name, but no UTF-8 text, and so no path here, can hold it.
                if (const std::size_t at = brevorn::firstUnpairedSurrogate(arg); at != arg.npos) {
                    std::cerr << "brevorn-roster: argument " << i << " \"" << brevorn::toUtf8(arg)
                              << "\" is not valid Unicode: its character " << at + 1
                              << " (shown as \xEF\xBF\xBD) is half of a UTF-16 surrogate pair without the other half\n";
                    return brevorn::ExitTrouble;
                }
                args.push_back(brevorn::toUtf8(arg));
            }
            return brevorn::runCommandLine(args, std::cout, std::cerr);
        } catch (...) {
            // Reported while the console streams still stand.
            return brevorn::reportUncaughtFailure(args.empty() ? "" : args.front(), std::cerr);
        }
    } catch (...) {
        return brevorn::reportUncaughtFailure(args.empty() ? "" : args.front(), std::cerr);
    }
}
