#pragma once

#include "TvPoint.h"

#include <cstdint>
#include <string>
#include <vector>


// In-memory model of a sectioned text file of name=value lines. The sections are
// called keys and the name=value entries values. Names and texts are bytes (UTF-8 in
// practice) compared exactly. Files are written with CR LF line ends so they read the
// same on Windows; LF and CR LF are both read.
class CIniFile
{
public:
    CIniFile();
    explicit CIniFile(const std::string& path);
    virtual ~CIniFile();

    void SetPath(const std::string& path);
    const std::string& GetPath() const { return m_path; }

    // Merges the file into the model, later lines overwriting equal names. False when
    // the file does not exist (model and error unchanged) or cannot be read (error
    // "Unable to open ini file.", model unchanged).
    bool ReadFile();
    // Replaces the file with the model through a temporary file in the same folder, so
    // a failed write leaves the old file as it was. False when nothing was replaced.
    bool WriteFile();
    void Reset();

    int GetNumKeys() const;
    // Number of values of the key; -1 when there is no such key.
    int GetNumValues(const std::string& keyName) const;

    // The value text; empty with error "Unable to locate specified key." or
    // "Unable to locate specified value." when missing.
    std::string GetValue(const std::string& keyName, const std::string& valueName);
    // The leading decimal integer (optional sign, 0 without digits, clamped to the int
    // range); -1 when the text is empty or missing.
    int GetValueI(const std::string& keyName, const std::string& valueName);
    // The leading floating-point number (any locale writes it with "."); 0 when the
    // text is empty, missing or not a number.
    double GetValueF(const std::string& keyName, const std::string& valueName);
    // "r,g,b" as 0x00bbggrr, each part cut to 8 bits; 0xFFFFFFFF when empty or missing.
    std::uint32_t GetValueRGB(const std::string& keyName, const std::string& valueName);
    // "x,y"; (0, 0) when empty or missing.
    TvPoint GetValuePO(const std::string& keyName, const std::string& valueName);

    // Sets the value. With create false, fails when the key or value does not exist;
    // with create true, a missing key and value are appended. Also fails, changing
    // nothing, for an entry the file cannot hold: a line break in any name or text, a
    // "=" in the value name, a key name beginning with "[" or ending with "]", or a
    // value line that would read as a section line.
    bool SetValue(const std::string& keyName, const std::string& valueName,
                  const std::string& value, bool create = true);
    bool SetValueI(const std::string& keyName, const std::string& valueName, int value,
                   bool create = true);
    // Writes "%e" with a three-digit exponent (0.5 -> "5.000000e-001") whatever the
    // locale, so a file reads the same wherever it was written.
    bool SetValueF(const std::string& keyName, const std::string& valueName, double value,
                   bool create = true);

    // Removing an entry moves the later ones down by one; their order is kept.
    bool DeleteValue(const std::string& keyName, const std::string& valueName);
    bool DeleteKey(const std::string& keyName);

    // Text of the last lookup or open error.
    std::string error;

private:
    struct Key
    {
        std::vector<std::string> names;
        std::vector<std::string> values;
    };

    int FindKey(const std::string& keyName) const;
    int FindValue(int keyIndex, const std::string& valueName) const;
    void ParseText(const std::string& text);
    std::string Serialise() const;

    std::string m_path;
    std::vector<Key> m_keys;
    std::vector<std::string> m_keyNames;
};
