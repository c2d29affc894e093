// Output on its way to a Windows console: UTF-8 in, UTF-16 out, no character cut in two.
#include "utf16_stream_buffer.h"

#include <gtest/gtest.h>

#include <ostream>

namespace brevorn {
namespace {

// What reaches the console, and how many writes brought it.
struct Console
{
    std::u16string shown;
    std::size_t writes = 0;
    bool accepts = true;

    Utf16StreamBuffer::Writer writer()
    {
        return [this](std::u16string_view text) {
            shown += text;
            ++writes;
            return accepts;
        };
    }
};

TEST(Utf16StreamBuffer, KeepsACharacterWholeWhenAFlushFallsInsideIt)
{
    // "€" is E2 82 AC: a flush after each byte still writes it once and whole.
    Console console;
    {
        Utf16StreamBuffer buffer(console.writer());
        std::ostream out(&buffer);
        for (char byte : std::string("a\xe2\x82\xac\xf0\x9f\x9b\xa1z")) {
            out.put(byte);
            out.flush();
        }
        EXPECT_EQ(console.shown, u"a\u20ac\U0001F6E1z");
        // Broken bytes are written as U+FFFD, and the start of a character still waits...
        out << "\xff\xe2\x82" << std::flush;
        EXPECT_EQ(console.shown, u"a\u20ac\U0001F6E1z\ufffd");
    }
    // ...until the buffer ends, when it is written as what it is.
    EXPECT_EQ(console.shown, u"a\u20ac\U0001F6E1z\ufffd\ufffd");
}

TEST(Utf16StreamBuffer, LongOutputGoesOutWholeAnEmptyFlushWritesNothingAndAFailedWriteFailsTheStream)
{
    Console console;
    Utf16StreamBuffer buffer(console.writer());
    std::ostream out(&buffer);
    std::string table;
    for (int row = 0; row < 5000; ++row)
        table += "\xce\xa9,\xe2\x82\xac\r\n";
    out << table << std::flush;
    std::u16string expected;
    for (int row = 0; row < 5000; ++row)
        expected += u"\u03a9,\u20ac\r\n";
    EXPECT_EQ(console.shown, expected);

    // Nothing is written while nothing waits.
    const std::size_t writes = console.writes;
    out << std::flush;
    EXPECT_EQ(console.writes, writes);

    console.accepts = false;
    out << "lost" << std::flush;
    EXPECT_TRUE(out.bad());
}

} // namespace
} // namespace brevorn
