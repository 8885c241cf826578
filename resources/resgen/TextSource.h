#pragma once

#include <string>
#include <vector>

// One numbered text of the text library.
struct TextEntry
{
    unsigned id;
    std::string text; // unescaped, UTF-8
    unsigned line;    // where it was defined, for messages
};

// Parser of the numbered-text source (TextRes.txt). One entry per line:
// NUMBER, a tab, then the text, in which \n, \t and \\ stand for a line feed,
// a tab and a backslash. Lines starting with "#" and blank lines are skipped.
// Anything else is refused with a CResGenError that names the file and line:
// the library must never ship a text that silently differs from its source.
class CTextSource
{
public:
    // Highest number a text may have; text numbers are 16-bit like the string
    // tables of the resource compilers.
    static constexpr unsigned kMaxId = 65535;

    static std::vector<TextEntry> Parse(const std::string& content, const std::string& fileName);

private:
    static TextEntry ParseLine(const std::string& line, unsigned lineNumber,
                               const std::string& fileName);
    static unsigned ParseId(const std::string& digits, unsigned lineNumber,
                            const std::string& fileName);
    static std::string Unescape(const std::string& raw, unsigned lineNumber,
                                const std::string& fileName);
};
