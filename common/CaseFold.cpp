#include "CaseFold.h"

namespace {

// Lower-case partner of a code point, or the code point itself.
char32_t FoldCodePoint(char32_t c)
{
    if (c >= U'A' && c <= U'Z')
        return c + 0x20;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) // Latin-1 capitals, not the multiplication sign
        return c + 0x20;
    if (c >= 0x100 && c <= 0x137 && c % 2 == 0) // Latin Extended-A, even = capital
        return c + 1;
    if (c >= 0x139 && c <= 0x148 && c % 2 == 1)
        return c + 1;
    if (c >= 0x14A && c <= 0x177 && c % 2 == 0)
        return c + 1;
    if (c == 0x178)
        return 0xFF;
    if ((c >= 0x179 && c <= 0x17E) && c % 2 == 1)
        return c + 1;
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) // Greek capitals
        return c + 0x20;
    if (c >= 0x410 && c <= 0x42F) // Cyrillic basic capitals
        return c + 0x20;
    if (c >= 0x400 && c <= 0x40F)
        return c + 0x50;
    return c;
}

bool IsContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

// Decodes one two-byte sequence (all folded code points lie below U+0800);
// returns 0 when the bytes at `i` are not one.
char32_t DecodeTwoBytes(std::string_view text, std::size_t i)
{
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0xC2 || lead > 0xDF || i + 1 >= text.size())
        return 0;
    const auto next = static_cast<unsigned char>(text[i + 1]);
    if (!IsContinuation(next))
        return 0;
    return (static_cast<char32_t>(lead & 0x1F) << 6) | (next & 0x3F);
}

void AppendTwoBytes(std::string& out, char32_t c)
{
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
}

} // namespace

std::string FoldCase(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            out += static_cast<char>(FoldCodePoint(byte));
            ++i;
            continue;
        }
        const char32_t c = DecodeTwoBytes(text, i);
        if (c == 0) {
            out += text[i++]; // longer sequences and stray bytes stay as they are
            continue;
        }
        AppendTwoBytes(out, FoldCodePoint(c)); // every partner also needs two bytes
        i += 2;
    }
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    return FoldCase(a) == FoldCase(b);
}
