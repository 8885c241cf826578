#pragma once

#include <string>

class CTbmOptions;

// The password of a run, taken from a file or an environment variable and never from
// the command line itself (other users can read a process's arguments).
class CTbmPassword
{
public:
    // Empty when neither option is given. Throws CTbmUsageError when the file cannot
    // be read, the variable is not set, or the password is empty or holds characters
    // the archive's encryption cannot take (outside 1-127).
    static std::string FromOptions(const CTbmOptions& options);
    // The first line of a password file, without its line end.
    static std::string FirstLine(const std::string& text);
};
