// Paths named in messages and made from names given as UTF-8.
#include "path_text.h"

#include <gtest/gtest.h>

namespace brevorn {
namespace {

namespace fs = std::filesystem;

TEST(PathText, NamesFromUtf8ReachTheFileSystemAsTheSameCharactersAndAreShownAsGiven)
{
    // Built from UTF-16, the one form every platform converts to its own without a code page.
    const std::pair<std::string, std::u16string> names[] = {
        {"\xce\xa9mega.txt", u"\u03a9mega.txt"},
        {"\xe2\x82\xacuro.txt", u"\u20acuro.txt"},
        {"\xe6\x9d\xb1\xe4\xba\xac/\xf0\x9f\x9b\xa1.txt", u"\u6771\u4eac/\U0001F6E1.txt"},
        {"plain.txt", u"plain.txt"},
    };
    for (const auto& [utf8, utf16] : names) {
        const fs::path path = pathFromUtf8(utf8);
        EXPECT_EQ(path, fs::path(utf16)) << utf8;
        EXPECT_EQ(pathText(path), utf8);
        EXPECT_EQ(quotedPath(path), "\"" + utf8 + "\"");
    }
}

TEST(PathText, NamesNoUnicodeTextCanHoldAreShownWithoutThrowing)
{
    if constexpr (sizeof(fs::path::value_type) == 1) {
        // A POSIX name is bytes: one that is not UTF-8 stays the same name and is shown as it is.
        EXPECT_EQ(pathFromUtf8("caf\xe9.txt").native(), "caf\xe9.txt");
        EXPECT_EQ(pathText(fs::path("caf\xe9.txt")), "caf\xe9.txt");
    } else {
        // An NTFS name may hold half a surrogate pair; it is shown as U+FFFD.
        EXPECT_EQ(quotedPath(fs::path(std::wstring(L"a\xd800.txt"))), "\"a\xef\xbf\xbd.txt\"");
        EXPECT_EQ(pathText(fs::path(std::wstring(L"\xdc00"))), "\xef\xbf\xbd");
        // Bytes that are not UTF-8 cannot come from the program's own texts; they are not dropped.
        EXPECT_EQ(pathFromUtf8("caf\xe9.txt").native(), std::wstring(L"caf\xfffd.txt"));
    }
}

} // namespace
} // namespace brevorn
