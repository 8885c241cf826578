#include "RegDataParser.h"

#include "RegFileError.h"
#include "RegTextCodec.h"

#include <cctype>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    return true;
}

// The number in 1 to `maxDigits` hexadecimal digits, or nothing.
std::optional<DWORD> ParseHexNumber(std::string_view digits, std::size_t maxDigits)
{
    if (digits.empty() || digits.size() > maxDigits)
        return std::nullopt;
    DWORD number = 0;
    for (const char c : digits) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        const int digit = std::isdigit(static_cast<unsigned char>(c))
                              ? c - '0'
                              : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
        number = (number << 4) | static_cast<DWORD>(digit);
    }
    return number;
}

std::vector<BYTE> ParseHexBytes(std::string_view list, unsigned line)
{
    std::vector<BYTE> bytes;
    list = TrimBlanks(list);
    std::size_t start = 0;
    while (start < list.size()) {
        std::size_t comma = list.find(',', start);
        const bool last = comma == std::string_view::npos;
        if (last)
            comma = list.size();
        const std::string_view item = TrimBlanks(list.substr(start, comma - start));
        // A comma may end the list, as it does before a continuation.
        if (item.empty() && comma + 1 >= list.size())
            break;
        const std::optional<DWORD> byte = ParseHexNumber(item, 2);
        if (!byte)
            throw CRegFileError("not a hexadecimal byte: \"" + std::string(item) + "\"", line);
        bytes.push_back(static_cast<BYTE>(*byte));
        start = comma + 1;
    }
    return bytes;
}

std::vector<BYTE> ToBytes(std::string_view text)
{
    return std::vector<BYTE>(text.begin(), text.end());
}

bool IsTextType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// Whether REGEDIT4 hex text is UTF-16: what a normalised export of Version 5.00 holds.
// ANSI text in its usual shape (one zero at the end, two for a list) never passes.
bool LooksLikeUtf16(const std::vector<BYTE>& bytes, DWORD type)
{
    const std::size_t n = bytes.size();
    if (n < 2 || n % 2 != 0 || bytes[n - 1] != 0 || bytes[n - 2] != 0)
        return false;
    if (type != REG_MULTI_SZ || n == 2)
        return true;
    return n >= 4 && bytes[n - 3] == 0 && bytes[n - 4] == 0;
}

std::vector<BYTE> TextFromHex(const std::vector<BYTE>& bytes, DWORD type, CRegFileText::Form form,
                              unsigned line)
{
    const std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const bool utf16 = form == CRegFileText::Form::Version5 || LooksLikeUtf16(bytes, type);
    if (utf16) {
        if (bytes.size() % 2 != 0)
            throw CRegFileError("UTF-16 text data of an odd number of bytes", line);
        return ToBytes(RegUtf16ToUtf8(RegBytesToUtf16(raw)));
    }
    return ToBytes(RegIsValidUtf8(raw) ? std::string(raw) : RegWindows1252ToUtf8(raw));
}

TvRegValueData ParseHex(std::string_view text, CRegFileText::Form form, unsigned line)
{
    TvRegValueData value;
    value.type = REG_BINARY;
    std::string_view rest = text.substr(3);
    if (!rest.empty() && rest.front() == '(') {
        const std::size_t close = rest.find(')');
        const std::optional<DWORD> type = close == std::string_view::npos
                                              ? std::nullopt
                                              : ParseHexNumber(rest.substr(1, close - 1), 8);
        if (!type)
            throw CRegFileError("the type in hex(N) is not 1 to 8 hexadecimal digits", line);
        value.type = *type;
        rest.remove_prefix(close + 1);
    }
    if (rest.empty() || rest.front() != ':')
        throw CRegFileError("a \":\" must follow the hex form", line);
    value.data = ParseHexBytes(rest.substr(1), line);
    if (IsTextType(value.type))
        value.data = TextFromHex(value.data, value.type, form, line);
    return value;
}

TvRegValueData ParseDword(std::string_view text, unsigned line)
{
    const std::optional<DWORD> number = ParseHexNumber(TrimBlanks(text.substr(6)), 8);
    if (!number)
        throw CRegFileError("dword data must be 1 to 8 hexadecimal digits", line);
    TvRegValueData value;
    value.type = REG_DWORD;
    for (int shift = 0; shift < 32; shift += 8)
        value.data.push_back(static_cast<BYTE>(*number >> shift));
    return value;
}

TvRegValueData ParseString(std::string_view text, unsigned line)
{
    std::size_t end = 0;
    const std::optional<std::string> quoted = RegParseQuoted(text, end);
    if (!quoted)
        throw CRegFileError("the text has no closing quote", line);
    if (!TrimBlanks(text.substr(end)).empty())
        throw CRegFileError("unexpected text after the closing quote", line);
    TvRegValueData value;
    value.type = REG_SZ;
    value.data = ToBytes(*quoted);
    value.data.push_back(0);
    return value;
}

} // namespace

std::optional<std::string> RegParseQuoted(std::string_view text, std::size_t& end)
{
    std::string out;
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            end = i + 1;
            return out;
        }
        if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"'))
            ++i;
        out += text[i];
    }
    return std::nullopt;
}

bool RegIsHexForm(std::string_view data)
{
    return StartsWithIgnoringCase(TrimBlanks(data), "hex");
}

TvRegValueData RegParseValueData(std::string_view text, CRegFileText::Form form, unsigned line)
{
    text = TrimBlanks(text);
    if (text == "-") {
        TvRegValueData value;
        value.remove = true;
        return value;
    }
    if (!text.empty() && text.front() == '"')
        return ParseString(text, line);
    if (StartsWithIgnoringCase(text, "dword:"))
        return ParseDword(text, line);
    if (StartsWithIgnoringCase(text, "hex"))
        return ParseHex(text, form, line);
    throw CRegFileError("unknown value data: " + std::string(text.substr(0, 40)), line);
}
