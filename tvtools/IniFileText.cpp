#include "IniFileText.h"

#include <charconv>
#include <climits>
#include <cstddef>
#include <system_error>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view SkipBlanks(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    return text.substr(i);
}

} // namespace

int TvIniParseInt(std::string_view text)
{
    text = SkipBlanks(text);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        value = value * 10 + (c - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            break; // already out of range; clamped below
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

double TvIniParseDouble(std::string_view text)
{
    text = SkipBlanks(text);
    // from_chars takes "-" but not "+"; a "+" followed by another sign is no number.
    if (!text.empty() && text[0] == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text[0] == '-')
            return 0.0;
    }
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() ? value : 0.0;
}

std::string TvIniFormatDouble(double value)
{
    char text[64];
    const auto result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, 6);
    std::string out(text, result.ptr);
    const std::size_t e = out.find('e');
    if (e == std::string::npos || e + 2 > out.size())
        return out; // inf and nan have no exponent
    const std::size_t digits = out.size() - (e + 2);
    if (digits < 3)
        out.insert(e + 2, 3 - digits, '0');
    return out;
}

bool TvIniIsStorable(std::string_view keyName, std::string_view valueName, std::string_view value)
{
    // A line break would split the entry into lines of their own.
    for (std::string_view part : {keyName, valueName, value}) {
        if (part.find('\n') != std::string_view::npos)
            return false;
    }
    // The reader splits at the first "=", so a "=" in the name would move into the value.
    if (valueName.find('=') != std::string_view::npos)
        return false;
    // The reader strips every "[" and "]" around a section name.
    if (!keyName.empty() && (keyName.front() == '[' || keyName.back() == ']'))
        return false;
    // "[a=b]" reads as a section, not as a value.
    if (!valueName.empty() && valueName.front() == '[' && !value.empty() && value.back() == ']')
        return false;
    return true;
}
