#include "SourceText.h"

#include "ResGenError.h"

#include <fstream>
#include <iterator>

namespace resgen {

std::vector<SourceLine> SplitLines(const std::string& content)
{
    std::vector<SourceLine> lines;
    std::size_t start = content.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    unsigned number = 1;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        std::string text = content.substr(start, end - start);
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        lines.push_back({number++, std::move(text)});
        start = end + 1;
    }
    return lines;
}

bool IsBlankOrComment(const std::string& line)
{
    const std::size_t first = line.find_first_not_of(" \t");
    return first == std::string::npos || line[first] == '#';
}

namespace {

// Length of the UTF-8 sequence that starts with `lead`, 0 for a byte that cannot
// start one.
int SequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

// The second byte's range depends on the lead byte: this is what rules out
// overlong forms, surrogates and code points above U+10FFFF.
bool SecondByteFits(unsigned char lead, unsigned char second)
{
    if (lead == 0xE0)
        return second >= 0xA0 && second <= 0xBF;
    if (lead == 0xED)
        return second >= 0x80 && second <= 0x9F;
    if (lead == 0xF0)
        return second >= 0x90 && second <= 0xBF;
    if (lead == 0xF4)
        return second >= 0x80 && second <= 0x8F;
    return second >= 0x80 && second <= 0xBF;
}

} // namespace

bool IsValidUtf8(const std::string& bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const int length = SequenceLength(lead);
        if (length == 0 || bytes.size() - i < static_cast<std::size_t>(length))
            return false;
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            const bool fits = k == 1 ? SecondByteFits(lead, next) : (next & 0xC0) == 0x80;
            if (!fits)
                return false;
        }
        i += static_cast<std::size_t>(length);
    }
    return true;
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw CResGenError(path, 0, "cannot open the file for reading");
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        throw CResGenError(path, 0, "cannot read the file");
    return bytes;
}

} // namespace resgen
