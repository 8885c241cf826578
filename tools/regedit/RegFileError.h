#pragma once

#include <stdexcept>
#include <string>

// A fault in a registry file or in an export or import. `Line()` is the 1-based line
// of the file where the fault lies, or 0 when it belongs to no line.
class CRegFileError : public std::runtime_error
{
public:
    explicit CRegFileError(const std::string& message, unsigned line = 0)
        : std::runtime_error(message), m_line(line)
    {
    }

    unsigned Line() const { return m_line; }

private:
    unsigned m_line;
};
