// Which day and count texts have a decimal form, and which number each gives.
#include "roster/decimal_form.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace brevorn {
namespace {

struct Case
{
    std::string text;
    std::optional<int> asCount; // maximum 10
    std::optional<int> asDay;   // maximum 37
};

const Case cases[] = {
    // Plain and padded numbers.
    {"0", 0, 0},
    {"7", 7, 7},
    {"07", 7, 7},
    {" 3 ", 3, 3},
    {"\t5\t", 5, 5},
    {"0000000000000000000007", 7, 7},
    {"+4", 4, 4},
    {"-0", 0, 0},
    {"10.0", 10, 10},
    {"2.000", 2, 2},
    {"-0.0", 0, 0},
    // The range decides.
    {"10", 10, 10},
    {"11", std::nullopt, 11},
    {"37", std::nullopt, 37},
    {"38", std::nullopt, std::nullopt},
    {"-1", std::nullopt, std::nullopt},
    {"99999999999999999999", std::nullopt, std::nullopt},
    {"00000000000000000000038", std::nullopt, std::nullopt},
    // Not plain decimal notation.
    {"", std::nullopt, std::nullopt},
    {" ", std::nullopt, std::nullopt},
    {"N/A", std::nullopt, std::nullopt},
    {"3.5", std::nullopt, std::nullopt},
    {"3.", std::nullopt, std::nullopt},
    {".5", std::nullopt, std::nullopt},
    {".", std::nullopt, std::nullopt},
    {"1e1", std::nullopt, std::nullopt},
    {"0x5", std::nullopt, std::nullopt},
    {"1 2", std::nullopt, std::nullopt},
    {"- 1", std::nullopt, std::nullopt},
    {"+-1", std::nullopt, std::nullopt},
    {"5\n", std::nullopt, std::nullopt},
    {"\xd9\xa3", std::nullopt, std::nullopt}, // Arabic-Indic three: digits are ASCII only
};

TEST(DecimalForm, ReadsTextsAgainstBothMaxima)
{
    for (const Case& c : cases) {
        SCOPED_TRACE("text \"" + c.text + "\"");
        EXPECT_EQ(decimalForm(c.text, MaxCount), c.asCount);
        EXPECT_EQ(decimalForm(c.text, MaxDayCounter), c.asDay);
    }
}

TEST(DecimalForm, UnsetCountIsZeroButEmptyTextIsNoNumber)
{
    EXPECT_EQ(countDecimalForm(std::nullopt), std::optional<int>(0));
    EXPECT_EQ(countDecimalForm(std::string()), std::nullopt);
    EXPECT_EQ(countDecimalForm(std::string("09")), std::optional<int>(9));
    EXPECT_EQ(countDecimalForm(std::string("11")), std::nullopt);
}

} // namespace
} // namespace brevorn
