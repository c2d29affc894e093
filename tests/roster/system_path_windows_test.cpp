// Long paths on Windows: the form the file functions are given.
#include "system_path.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace brevorn {
namespace {

namespace fs = std::filesystem;

TEST(SystemPath, LongPathsGetTheExtendedFormAndShortOnesStayAsTheyAre)
{
    const std::wstring folder(200, L'f');
    EXPECT_EQ(systemPath(L"C:\\short\\r.txt"), fs::path(L"C:\\short\\r.txt"));
    EXPECT_EQ(systemPath(L"r.txt"), fs::path(L"r.txt"));
    // Full, with / as \ and . and .. resolved, as the \\?\ form takes the name literally.
    EXPECT_EQ(systemPath(L"C:/" + folder + L"/./x/../" + folder + L"/r.txt"),
              fs::path(L"\\\\?\\C:\\" + folder + L"\\" + folder + L"\\r.txt"));
    EXPECT_EQ(systemPath(L"\\\\server\\share\\" + folder + L"\\" + folder),
              fs::path(L"\\\\?\\UNC\\server\\share\\" + folder + L"\\" + folder));
    // A relative name is long when its full form is.
    wchar_t current[MAX_PATH * 4];
    ASSERT_GT(::GetCurrentDirectoryW(MAX_PATH * 4, current), 0u);
    const std::wstring currentFolder(current);
    const std::wstring separator = currentFolder.ends_with(L'\\') ? L"" : L"\\";
    EXPECT_EQ(systemPath(folder + L"\\" + folder),
              fs::path(L"\\\\?\\" + currentFolder + separator + folder + L"\\" + folder));
    // Names already in the form the system takes as it is.
    const std::wstring extended = L"\\\\?\\C:\\" + folder + L"\\" + folder;
    EXPECT_EQ(systemPath(extended), fs::path(extended));
}

} // namespace
} // namespace brevorn
