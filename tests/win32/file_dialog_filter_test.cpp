// The core's type list as the common file dialogs read it.
#include "file_dialog_filter.h"

#include <gtest/gtest.h>

namespace brevorn {
namespace {

using namespace std::string_literals;

TEST(FileDialogFilter, NamesWithTheirPatternsNullSeparatedAndEveryFileAsStarDotStar)
{
    const FileFilter roster[] = {{"Roster files", "*.txt"}, {"All files", "*"}};
    EXPECT_EQ(fileDialogFilter(roster), L"Roster files (*.txt)\0*.txt\0All files (*.*)\0*.*\0\0"s);
    const FileFilter several[] = {{"R\u00f4les", "*.txt;*.ros"}};
    EXPECT_EQ(fileDialogFilter(several), L"R\u00f4les (*.txt;*.ros)\0*.txt;*.ros\0\0"s);
    EXPECT_EQ(fileDialogFilter({}), L"\0"s);
}

TEST(FileDialogFilter, DefaultExtensionIsTheFirstTypesOneEnding)
{
    const std::pair<std::vector<FileFilter>, std::wstring> cases[] = {
        {{{"Roster files", "*.txt"}, {"All files", "*"}}, L"txt"},
        {{{"Rosters", "*.ros;*.txt"}}, L"ros"},
        {{{"All files", "*"}}, L""},
        {{{"Any ending", "*.*"}}, L""},
        {{{"Odd", "roster.*"}}, L""},
        {{}, L""},
    };
    for (const auto& [filters, want] : cases)
        EXPECT_EQ(defaultExtension(filters), want) << (filters.empty() ? "none" : filters.front().patterns);
}

} // namespace
} // namespace brevorn
