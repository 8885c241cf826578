#pragma once

#include "RegFileText.h"
#include "RegOperation.h"

#include <string_view>
#include <vector>

// Turns a registry file into the list of changes it asks for, checking the whole file
// first: blank lines and comments (";") are skipped, "[Key]" and "[-Key]" start
// sections, value lines set or ("=-") delete values, and hex data may go on over lines
// that end in "\". The first fault stops the parse with its line number, so a broken
// file changes nothing.
class CRegFileParser
{
public:
    // Throws CRegFileError with the line of the first fault.
    static std::vector<TvRegOperation> Parse(std::string_view fileBytes);

private:
    explicit CRegFileParser(const CRegFileText& text) : m_text(text) {}

    void ParseLines();
    void ParseSection(std::string_view line);
    void ParseValue(std::string_view line);
    // The value's data, with the continuation lines of a hex form joined.
    std::string JoinContinuations(std::string_view data);
    unsigned LineNumber() const { return static_cast<unsigned>(m_index + 1); }

    const CRegFileText& m_text;
    std::size_t m_index = 0;
    bool m_inSection = false;
    bool m_sectionDeleted = false;
    HKEY m_root = nullptr;
    std::string m_path;
    std::vector<TvRegOperation> m_operations;
};
