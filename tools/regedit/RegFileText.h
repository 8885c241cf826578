#pragma once

#include <string>
#include <string_view>
#include <vector>

// The text of a registry file, decoded to UTF-8 lines. A byte-order mark FF FE or FE FF
// means UTF-16 (little- or big-endian), EF BB BF UTF-8; without one the bytes are
// UTF-8 when they are valid UTF-8 and Windows-1252 otherwise. The first line must be
// one of the two headers; it tells the form of the file.
class CRegFileText
{
public:
    enum class Form
    {
        Version5, // "Windows Registry Editor Version 5.00": texts in hex forms are UTF-16
        Regedit4, // "REGEDIT4": the ANSI form
    };

    // Throws CRegFileError (line 1) when the header is missing or the UTF-16 text
    // ends in half a character.
    explicit CRegFileText(std::string_view bytes);

    Form GetForm() const { return m_form; }
    // The lines without their line ends; Lines()[0] is line 1, the header.
    const std::vector<std::string>& Lines() const { return m_lines; }

private:
    static std::string Decode(std::string_view bytes);
    void SplitLines(const std::string& text);
    void ReadHeader();

    Form m_form = Form::Version5;
    std::vector<std::string> m_lines;
};
