#include "TextSink.h"

#include "ResourceLibrary.h"

#include <cstdarg>
#include <cstdio>

namespace {

bool IsContinuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

CTextSink::CTextSink()
    : m_strSeparator(61, '-'),
      m_strErrorHeader("-------------------------Error------------------------------")
{
}

void CTextSink::WriteLine(const char* line)
{
    if (line)
        m_strText += line;
    m_strText += "\r\n";
}

void CTextSink::WriteFormatted(const char* format, ...)
{
    char buffer[kFormatBufferSize];
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (length < 0)
        return;
    if (static_cast<std::size_t>(length) < sizeof buffer) {
        WriteLine(std::string(buffer, static_cast<std::size_t>(length)));
        return;
    }
    WriteLine(DropPartialCharacter(std::string(buffer, sizeof buffer - 1)));
}

// The text ends where it was cut: a character whose lead byte promises more bytes
// than follow it is dropped.
std::string CTextSink::DropPartialCharacter(std::string text)
{
    std::size_t lead = text.size();
    while (lead > 0 && text.size() - lead < 4 && IsContinuation(text[lead - 1]))
        --lead;
    if (lead == 0)
        return text;
    --lead;
    const unsigned char byte = static_cast<unsigned char>(text[lead]);
    const std::size_t need = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
    if (text.size() - lead < need)
        text.resize(lead);
    return text;
}

void CTextSink::WriteTextResource(unsigned id)
{
    WriteLine(LoadResString(id));
}

void CTextSink::WriteException(const std::exception& exception)
{
    const char* message = exception.what();
    WriteLine(CutText(message ? message : "", kMaxExceptionMessage));
}

std::string CTextSink::CutText(const std::string& text, std::size_t limit)
{
    if (text.size() <= limit)
        return text;
    std::size_t end = limit;
    // Step back over continuation bytes to the start of the character that was cut.
    while (end > 0 && IsContinuation(text[end]))
        --end;
    return text.substr(0, end);
}
