#pragma once

#include <string>

// Why a batch file operation stopped: the errno value and the path it concerns.
// `aborted` tells a stop the user asked for (or a question nobody could answer)
// from a failure. Thrown inside the operation and caught once at its top.
struct ShellFileOpError
{
    int error = 0;
    std::string path;
    bool aborted = false;
};
