#include "RegText.h"

#include "Utf8.h"

#include <clocale>
#include <cstdint>
#include <locale.h>
#include <wctype.h>

namespace {

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
        const std::size_t len = TvDecodeUtf8At(name, pos, cp);
        if (len == 0) {
            out += name[pos++];
            continue;
        }
        TvAppendUtf8(out, Upper(cp));
        pos += len;
    }
    return out;
}

std::size_t TvUtf8CharCount(std::string_view text)
{
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); ++count) {
        char32_t cp = 0;
        const std::size_t len = TvDecodeUtf8At(text, pos, cp);
        pos += len ? len : 1;
    }
    return count;
}
