#pragma once

#include <stdexcept>
#include <string>

// A fault in a resource source. The message names the file and, where there is
// one, the line, so that a broken build points straight at the text to fix.
class CResGenError : public std::runtime_error
{
public:
    CResGenError(const std::string& file, unsigned line, const std::string& message)
        : std::runtime_error(Compose(file, line, message))
    {
    }

private:
    static std::string Compose(const std::string& file, unsigned line, const std::string& message)
    {
        if (line == 0)
            return file + ": " + message;
        return file + ":" + std::to_string(line) + ": " + message;
    }
};
