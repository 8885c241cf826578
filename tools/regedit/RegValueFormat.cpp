#include "RegValueFormat.h"

#include "RegFileError.h"
#include "RegTextCodec.h"

#include <cstdio>

namespace {

std::u16string Ascii(const char* text)
{
    std::u16string out;
    for (; *text; ++text)
        out += static_cast<char16_t>(*text);
    return out;
}

bool HasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// A REG_SZ that reads back the same from "text": one terminating zero, no zero
// before it, and no line break that would split the line.
bool IsPlainText(const std::vector<BYTE>& data)
{
    if (data.empty() || data.back() != 0)
        return false;
    const std::string_view text(reinterpret_cast<const char*>(data.data()), data.size() - 1);
    return text.find('\0') == std::string_view::npos && !HasLineBreak(text);
}

bool IsTextType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

std::u16string HexTag(DWORD type)
{
    if (type == REG_BINARY)
        return u"hex:";
    char tag[24];
    std::snprintf(tag, sizeof tag, "hex(%x):", static_cast<unsigned>(type));
    return Ascii(tag);
}

// The bytes a hex form shows: texts as the UTF-16 that Windows keeps them in.
std::string HexBytes(const TvRegValue& value)
{
    const std::string_view raw(reinterpret_cast<const char*>(value.data.data()), value.data.size());
    if (IsTextType(value.type))
        return RegUtf16ToBytes(RegUtf8ToUtf16(raw));
    return std::string(raw);
}

// Appends the bytes as "xx,xx,..."; `column` is where the line stands before them.
void AppendHex(std::u16string& line, std::string_view bytes, std::size_t column)
{
    static const char digits[] = "0123456789abcdef";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        line += static_cast<char16_t>(digits[byte >> 4]);
        line += static_cast<char16_t>(digits[byte & 0xF]);
        column += 2;
        if (i + 1 == bytes.size())
            break;
        line += u',';
        if (++column >= kRegHexLineWidth) {
            line += u"\\\r\n  ";
            column = 2;
        }
    }
}

std::u16string Data(const TvRegValue& value, std::size_t column)
{
    if (value.type == REG_SZ && IsPlainText(value.data))
        return RegQuote(std::string_view(reinterpret_cast<const char*>(value.data.data()),
                                         value.data.size() - 1));
    if (value.type == REG_DWORD && value.data.size() == 4) {
        const DWORD number = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                             (static_cast<DWORD>(value.data[3]) << 24);
        char text[24];
        std::snprintf(text, sizeof text, "dword:%08x", static_cast<unsigned>(number));
        return Ascii(text);
    }
    std::u16string data = HexTag(value.type);
    AppendHex(data, HexBytes(value), column + data.size());
    return data;
}

} // namespace

std::u16string RegQuote(std::string_view utf8)
{
    std::u16string out = u"\"";
    for (const char16_t unit : RegUtf8ToUtf16(utf8)) {
        if (unit == u'\\' || unit == u'"')
            out += u'\\';
        out += unit;
    }
    out += u'"';
    return out;
}

std::u16string RegFormatValue(const TvRegValue& value)
{
    if (HasLineBreak(value.name))
        throw CRegFileError("a value name holds a line break: " + value.name);
    std::u16string line = value.name.empty() ? u"@" : RegQuote(value.name);
    line += u'=';
    line += Data(value, line.size());
    return line;
}
