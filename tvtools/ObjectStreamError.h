#pragma once

#include <stdexcept>
#include <string>

// A malformed object stream: a class the reader was not told to accept, a schema other
// than 0, a reference to no known class, a count or string that cannot be written, or
// bytes that end early. The message says what and where; readers of catalogue files
// catch it and report it, the stream is then abandoned.
class CObjectStreamError : public std::runtime_error
{
public:
    explicit CObjectStreamError(const std::string& message) : std::runtime_error(message) {}
};
