#include "RegText.h"

#include <clocale>
#include <cstdint>
#include <locale.h>
#include <wctype.h>

namespace {

// Length of the valid UTF-8 sequence at text[pos] and its code point; 0 when the
// bytes there do not form one (overlong forms and surrogates included).
std::size_t DecodeAt(std::string_view text, std::size_t pos, char32_t& cp)
{
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(pos);
    if (lead < 0x80) {
        cp = lead;
        return 1;
    }
    std::size_t len = 0;
    char32_t min = 0;
    if ((lead & 0xE0) == 0xC0) {
        len = 2, cp = lead & 0x1F, min = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        len = 3, cp = lead & 0x0F, min = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        len = 4, cp = lead & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (pos + len > text.size())
        return 0;
    for (std::size_t i = 1; i < len; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (byte(pos + i) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The fold must not depend on the user's locale, or two programs would disagree on
// which names are equal; C.UTF-8 has the full Unicode case tables and ships with
// every glibc system. Without it only ASCII letters fold.
locale_t FoldLocale()
{
    static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    return locale;
}

char32_t Upper(char32_t cp)
{
    if (cp < 0x80)
        return (cp >= 'a' && cp <= 'z') ? cp - ('a' - 'A') : cp;
    const locale_t locale = FoldLocale();
    if (!locale)
        return cp;
    const wint_t upper = towupper_l(static_cast<wint_t>(cp), locale);
    // A character whose upper case lies outside Unicode is kept rather than mangled.
    return upper <= 0x10FFFF ? static_cast<char32_t>(upper) : cp;
}

} // namespace

std::string TvRegFoldName(std::string_view name)
{
    std::string out;
    out.reserve(name.size());
    for (std::size_t pos = 0; pos < name.size();) {
        char32_t cp = 0;
        const std::size_t len = DecodeAt(name, pos, cp);
        if (len == 0) {
            out += name[pos++];
            continue;
        }
        AppendUtf8(out, Upper(cp));
        pos += len;
    }
    return out;
}

std::size_t TvUtf8CharCount(std::string_view text)
{
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); ++count) {
        char32_t cp = 0;
        const std::size_t len = DecodeAt(text, pos, cp);
        pos += len ? len : 1;
    }
    return count;
}
