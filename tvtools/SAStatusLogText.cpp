#include "SAStatusLog.h"

#include <cstdio>

// Text helpers of CSAStatusLog: bounded formatting and the parts of a program path.

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool IsContinuationByte(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

// Length of the UTF-8 sequence that `lead` starts; 1 for ASCII and stray bytes.
std::size_t SequenceLength(unsigned char lead)
{
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 1;
}

// Length of `text` without a UTF-8 sequence that the cut at `length` left incomplete.
std::size_t WithoutPartialSequence(const char* text, std::size_t length)
{
    std::size_t lead = length;
    while (lead > 0 && length - lead < 3 && IsContinuationByte(text[lead - 1]))
        --lead;
    if (lead == 0)
        return length;
    --lead;
    const std::size_t needed = SequenceLength(static_cast<unsigned char>(text[lead]));
    return needed > length - lead ? lead : length;
}

} // namespace

int CSAStatusLog::FormatBounded(char* buffer, std::size_t size, const char* format, va_list args)
{
    if (!buffer || size == 0)
        return -1;
    buffer[0] = '\0';
    if (!format)
        return -1;
    const int needed = std::vsnprintf(buffer, size, format, args);
    if (needed < 0) {
        buffer[0] = '\0';
        return -1;
    }
    if (static_cast<std::size_t>(needed) < size)
        return needed;
    const std::size_t length = WithoutPartialSequence(buffer, size - 1);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

std::string CSAStatusLog::GetBaseName(const std::string& path)
{
    std::size_t start = 0;
    for (std::size_t i = path.size(); i > 0; --i) {
        if (IsSeparator(path[i - 1])) {
            start = i;
            break;
        }
    }
    std::string name = path.substr(start);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot != 0)
        name.resize(dot);
    return name;
}

std::string CSAStatusLog::GetBaseDir(const std::string& path)
{
    for (std::size_t i = path.size(); i > 0; --i) {
        if (IsSeparator(path[i - 1]))
            return path.substr(0, i - 1);
    }
    return {};
}
