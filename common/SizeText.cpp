#include "SizeText.h"

#include <array>
#include <charconv>
#include <strings.h>

namespace {

constexpr std::uint64_t kKiB = 1024;
constexpr std::uint64_t kMiB = 1024 * kKiB;
constexpr std::uint64_t kGiB = 1024 * kMiB;

// "%.2f" without the locale's decimal separator.
std::string TwoDecimals(double value)
{
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, 2);
    return std::string(buffer.data(), result.ptr);
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string Trim(const std::string& text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

// The leading run of "1234567890." read as a decimal fraction; 0 when there is none
// or it does not read as a number ("." alone, or too large for a double).
double LeadingNumber(const std::string& text)
{
    const std::size_t length = text.find_first_not_of("1234567890.");
    const char* begin = text.data();
    const char* end = begin + (length == std::string::npos ? text.size() : length);
    double value = 0;
    const auto result = std::from_chars(begin, end, value, std::chars_format::fixed);
    return result.ec == std::errc() ? value : 0;
}

// Bytes per unit; 0 for a unit we do not know.
std::uint64_t UnitFactor(const std::string& unit)
{
    const char* u = unit.c_str();
    if (!strcasecmp(u, "GB") || !strcasecmp(u, "gigabyte"))
        return kGiB;
    if (!strcasecmp(u, "MB") || !strcasecmp(u, "megabyte"))
        return kMiB;
    if (!strcasecmp(u, "KB") || !strcasecmp(u, "kilobyte"))
        return kKiB;
    if (!strcasecmp(u, "bytes") || !strcasecmp(u, "byte"))
        return 1;
    return 0;
}

std::string UnitOf(const std::string& trimmed)
{
    const std::size_t blank = trimmed.find_last_of(" \t");
    return blank == std::string::npos ? trimmed : trimmed.substr(blank + 1);
}

} // namespace

std::string FormatSizeText(std::uint64_t bytes)
{
    if (bytes > kGiB)
        return TwoDecimals(static_cast<double>(bytes) / kGiB) + " GB";
    if (bytes > kMiB)
        return TwoDecimals(static_cast<double>(bytes) / kMiB) + " MB";
    if (bytes > kKiB)
        return TwoDecimals(static_cast<double>(bytes) / kKiB) + " KB";
    return std::to_string(bytes) + " Bytes";
}

bool ParseSizeText(const std::string& text, std::uint64_t& bytes)
{
    bytes = 0;
    const std::string trimmed = Trim(text);
    const double number = LeadingNumber(trimmed);
    if (number <= 0)
        return false;
    const std::uint64_t factor = UnitFactor(UnitOf(trimmed));
    if (factor == 0)
        return false;
    const double product = number * static_cast<double>(factor);
    // 2^64 itself is the first value that no longer fits; casting it would be undefined.
    if (product >= 18446744073709551616.0)
        return false;
    bytes = static_cast<std::uint64_t>(product);
    return true;
}
