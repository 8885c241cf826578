#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Converts one whole text file in memory between UTF-16 and the "ANSI" code page.
// On Linux the ANSI code page is the code set of the user's locale, normally UTF-8;
// the plain C locale, whose code set is ASCII, counts as UTF-8 so that text outside
// ASCII is not lost. Any iconv code set can be set instead (e.g. "CP1252"); characters
// it cannot hold become "?".
class CTextFileConverter
{
public:
    enum Encoding
    {
        kUnknown = 0,
        kUtf16 = 1, // little-endian in the input buffer (big-endian files are swapped)
        kAnsi = 2,
    };

    // Files this large or larger are refused.
    static constexpr std::uint64_t kMaxFileSize = std::uint64_t{1} << 32;

    CTextFileConverter();

    // Reads the whole file. FF FE marks UTF-16 little-endian and FE FF big-endian
    // (both mark bytes are dropped); anything else, and a file of under two bytes, is
    // ANSI. False when the file cannot be read or is kMaxFileSize or larger.
    bool Load(const std::string& path);
    bool IsUnicode() const { return m_inputEncoding == kUtf16; }
    // UTF-16 input to ANSI, or ANSI input to UTF-16 (little-endian, no mark).
    void Convert();
    // Writes the output over `path` as a whole (through a temporary file, so a failed
    // write leaves the old file intact). False when nothing was converted or the
    // write fails.
    bool Save(const std::string& path) const;

    // The code page of both directions; the locale's at construction.
    void SetAnsiCodePage(const std::string& codeSet);
    const std::string& GetAnsiCodePage() const { return m_codePageFromUnicode; }
    static std::string SystemAnsiCodePage();

    int GetInputEncoding() const { return m_inputEncoding; }
    // Set when UTF-16 to ANSI had to write "?" for a character.
    bool GetDefaultCharUsed() const { return m_defaultCharUsed; }
    std::string_view GetOutput() const { return {m_output.data(), m_outputLength}; }

private:
    void ConvertToAnsi();
    void ConvertToUnicode();
    void SetOutput(const std::string& text, std::size_t terminator);

    std::vector<char> m_input;  // the text without its mark, then two zero bytes
    std::vector<char> m_output; // the converted text, then a zero character
    std::size_t m_inputLength = 0;
    std::size_t m_outputLength = 0;
    int m_inputEncoding = kUnknown;
    bool m_converted = false;
    std::string m_codePageToUnicode;
    std::string m_codePageFromUnicode;
    bool m_defaultCharUsed = false;
};
