#include "RegTextCodec.h"

#include "Utf8.h"

#include <cstddef>
#include <cstdint>

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

std::uint8_t Byte(std::string_view text, std::size_t i)
{
    return static_cast<std::uint8_t>(text[i]);
}

bool IsHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The code points of Windows-1252 bytes 0x80..0x9F.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

std::u16string RegUtf8ToUtf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        char32_t cp = 0;
        const std::size_t len = TvDecodeUtf8At(text, pos, cp);
        if (len == 0) {
            out += static_cast<char16_t>(kEscapeBase + Byte(text, pos));
            ++pos;
            continue;
        }
        if (cp < 0x10000) {
            out += static_cast<char16_t>(cp);
        } else {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        }
        pos += len;
    }
    return out;
}

std::string RegUtf16ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            const char32_t cp = 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            TvAppendUtf8(out, cp);
            ++i;
        } else if (unit >= 0xDC80 && unit <= 0xDCFF) {
            out += static_cast<char>(unit - kEscapeBase);
        } else {
            // A lone surrogate gets the three-byte form AppendUtf8 writes for any unit.
            TvAppendUtf8(out, unit);
        }
    }
    return out;
}

bool RegIsValidUtf8(std::string_view text)
{
    for (std::size_t pos = 0; pos < text.size();) {
        char32_t cp = 0;
        const std::size_t len = TvDecodeUtf8At(text, pos, cp);
        if (len == 0)
            return false;
        pos += len;
    }
    return true;
}

std::string RegWindows1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::uint8_t byte = Byte(bytes, i);
        TvAppendUtf8(out, byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : byte);
    }
    return out;
}

std::string RegUtf16ToBytes(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size() * 2);
    for (const char16_t unit : text) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>(unit >> 8);
    }
    return out;
}

std::u16string RegBytesToUtf16(std::string_view bytes, bool bigEndian)
{
    std::u16string out;
    out.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const std::uint8_t first = Byte(bytes, i);
        const std::uint8_t second = Byte(bytes, i + 1);
        out += static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    return out;
}
