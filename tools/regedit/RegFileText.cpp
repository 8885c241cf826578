#include "RegFileText.h"

#include "RegFileError.h"
#include "RegTextCodec.h"

namespace {

constexpr std::string_view kVersion5Header = "Windows Registry Editor Version 5.00";
constexpr std::string_view kRegedit4Header = "REGEDIT4";

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

std::string Utf16Text(std::string_view bytes, bool bigEndian)
{
    if (bytes.size() % 2 != 0)
        throw CRegFileError("the UTF-16 text ends in half a character", 1);
    return RegUtf16ToUtf8(RegBytesToUtf16(bytes, bigEndian));
}

std::string EightBitText(std::string_view bytes)
{
    return RegIsValidUtf8(bytes) ? std::string(bytes) : RegWindows1252ToUtf8(bytes);
}

std::string_view TrimBlanks(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

} // namespace

CRegFileText::CRegFileText(std::string_view bytes)
{
    SplitLines(Decode(bytes));
    ReadHeader();
}

std::string CRegFileText::Decode(std::string_view bytes)
{
    if (StartsWith(bytes, "\xFF\xFE"))
        return Utf16Text(bytes.substr(2), false);
    if (StartsWith(bytes, "\xFE\xFF"))
        return Utf16Text(bytes.substr(2), true);
    if (StartsWith(bytes, "\xEF\xBB\xBF"))
        return EightBitText(bytes.substr(3));
    return EightBitText(bytes);
}

void CRegFileText::SplitLines(const std::string& text)
{
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string_view line(text.data() + start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        m_lines.emplace_back(line);
        start = end + 1;
    }
}

void CRegFileText::ReadHeader()
{
    const std::string_view header = m_lines.empty() ? std::string_view() : TrimBlanks(m_lines[0]);
    if (header == kVersion5Header)
        m_form = Form::Version5;
    else if (header == kRegedit4Header)
        m_form = Form::Regedit4;
    else
        throw CRegFileError("not a registry file: the first line must be \"" +
                                std::string(kVersion5Header) + "\" or \"" +
                                std::string(kRegedit4Header) + "\"",
                            1);
}
