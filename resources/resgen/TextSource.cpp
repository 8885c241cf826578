#include "TextSource.h"

#include "ResGenError.h"
#include "SourceText.h"

#include <map>

std::vector<TextEntry> CTextSource::Parse(const std::string& content, const std::string& fileName)
{
    std::vector<TextEntry> entries;
    std::map<unsigned, unsigned> firstLineOfId;
    for (const resgen::SourceLine& line : resgen::SplitLines(content)) {
        if (resgen::IsBlankOrComment(line.text))
            continue;
        TextEntry entry = ParseLine(line.text, line.number, fileName);
        const auto [it, added] = firstLineOfId.emplace(entry.id, line.number);
        if (!added)
            throw CResGenError(fileName, line.number,
                               "duplicate text number " + std::to_string(entry.id) +
                                   " (first defined on line " + std::to_string(it->second) + ")");
        entries.push_back(std::move(entry));
    }
    if (entries.empty())
        throw CResGenError(fileName, 0, "no texts defined");
    return entries;
}

TextEntry CTextSource::ParseLine(const std::string& line, unsigned lineNumber,
                                 const std::string& fileName)
{
    const std::size_t tab = line.find('\t');
    if (tab == std::string::npos)
        throw CResGenError(fileName, lineNumber, "missing tab between the number and the text");
    const unsigned id = ParseId(line.substr(0, tab), lineNumber, fileName);
    std::string text = Unescape(line.substr(tab + 1), lineNumber, fileName);
    if (text.empty())
        throw CResGenError(fileName, lineNumber, "empty text for number " + std::to_string(id));
    return {id, std::move(text), lineNumber};
}

unsigned CTextSource::ParseId(const std::string& digits, unsigned lineNumber,
                              const std::string& fileName)
{
    if (digits.empty() || digits.size() > 5 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
        throw CResGenError(fileName, lineNumber, "bad text number \"" + digits + "\"");
    const unsigned long id = std::stoul(digits);
    if (id == 0 || id > kMaxId)
        throw CResGenError(fileName, lineNumber,
                           "text number " + digits + " is outside 1.." + std::to_string(kMaxId));
    return static_cast<unsigned>(id);
}

std::string CTextSource::Unescape(const std::string& raw, unsigned lineNumber,
                                  const std::string& fileName)
{
    std::string text;
    text.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const auto c = static_cast<unsigned char>(raw[i]);
        if (c == '\t')
            throw CResGenError(fileName, lineNumber, "tab inside the text (write \\t)");
        if (c < 0x20 || c == 0x7F)
            throw CResGenError(fileName, lineNumber, "control character inside the text");
        if (c != '\\') {
            text += raw[i];
            continue;
        }
        if (i + 1 == raw.size())
            throw CResGenError(fileName, lineNumber, "backslash at the end of the line");
        const char next = raw[++i];
        if (next == 'n')
            text += '\n';
        else if (next == 't')
            text += '\t';
        else if (next == '\\')
            text += '\\';
        else
            throw CResGenError(fileName, lineNumber,
                               std::string("bad escape \\") + next + " (use \\n, \\t or \\\\)");
    }
    if (!resgen::IsValidUtf8(text))
        throw CResGenError(fileName, lineNumber, "the text is not valid UTF-8");
    return text;
}
