// Name conversion between UTF-8 (the system code page here) and CP437.
#include "ZipPlatform.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace ZipPlatform {

namespace {

bool IsAscii(const std::string& text)
{
    for (unsigned char c : text) {
        if (c >= 0x80)
            return false;
    }
    return true;
}

// Converts all of `text`; false when any byte sequence cannot be converted.
bool ConvertName(std::string& text, const char* to, const char* from)
{
    if (IsAscii(text))
        return true; // both code pages agree on ASCII
    const iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    // One input byte never becomes more than 4 output bytes in either direction.
    std::vector<char> out(text.size() * 4 + 4);
    char* in = text.data();
    std::size_t inLeft = text.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const std::size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (result == static_cast<std::size_t>(-1) || inLeft != 0 || result != 0)
        return false; // invalid input, or characters replaced by approximations
    text.assign(out.data(), out.size() - outLeft);
    return true;
}

} // namespace

bool AnsiToOem(std::string& name)
{
    return ConvertName(name, "CP437", "UTF-8");
}

bool OemToAnsi(std::string& name)
{
    return ConvertName(name, "UTF-8", "CP437");
}

} // namespace ZipPlatform
