#pragma once

#include <string>
#include <vector>

// Helpers shared by the parsers of the resource sources.
namespace resgen {

// One line of a source file with its 1-based number; "\r" before the line feed
// is dropped, so sources edited on Windows read the same.
struct SourceLine
{
    unsigned number;
    std::string text;
};

// Splits a whole file into lines; a UTF-8 byte-order mark at the start is skipped.
std::vector<SourceLine> SplitLines(const std::string& content);

// True for lines that carry no entry: empty, blanks only, or a "#" comment.
bool IsBlankOrComment(const std::string& line);

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(const std::string& bytes);

// Whole file as bytes; throws CResGenError naming the file when it cannot be read.
std::string ReadWholeFile(const std::string& path);

} // namespace resgen
