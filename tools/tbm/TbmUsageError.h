#pragma once

#include <stdexcept>
#include <string>

// A command line that cannot be used; main prints the text and the short usage and
// ends with exit code 2.
class CTbmUsageError : public std::runtime_error
{
public:
    explicit CTbmUsageError(const std::string& text) : std::runtime_error(text) {}
};
