// Reading a day or count text as the whole number that the file writes for it.
#include "decimal_form.h"

namespace brevorn {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Takes the run of digits at the front of text off it and returns it.
std::string_view takeDigits(std::string_view& text)
{
    std::size_t n = 0;
    while (n < text.size() && isDigit(text[n]))
        ++n;
    std::string_view digits = text.substr(0, n);
    text.remove_prefix(n);
    return digits;
}

} // namespace

std::string decimalFormRule(int maximum)
{
    return "a whole number from 0 to " + std::to_string(maximum);
}

std::optional<int> decimalForm(std::string_view text, int maximum)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);

    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }

    // Digits are needed on both sides of a decimal point: "3." and ".5" are not numbers here.
    std::string_view whole = takeDigits(text);
    if (whole.empty())
        return std::nullopt;
    if (!text.empty() && text.front() == '.') {
        text.remove_prefix(1);
        std::string_view fraction = takeDigits(text);
        if (fraction.empty() || fraction.find_first_not_of('0') != std::string_view::npos)
            return std::nullopt;
    }
    if (!text.empty())
        return std::nullopt;

    // Leading zeros go first so that a long run of them cannot overflow the value.
    std::size_t first = whole.find_first_not_of('0');
    whole = first == std::string_view::npos ? std::string_view() : whole.substr(first);
    if (whole.size() > 9)
        return std::nullopt;
    int value = 0;
    for (char c : whole)
        value = value * 10 + (c - '0');

    if (negative && value != 0)
        return std::nullopt;
    if (value > maximum)
        return std::nullopt;
    return value;
}

std::optional<int> countDecimalForm(const std::optional<std::string>& count)
{
    if (!count)
        return 0;
    return decimalForm(*count, MaxCount);
}

} // namespace brevorn
