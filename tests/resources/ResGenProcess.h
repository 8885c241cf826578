#pragma once

#include <string>

namespace restest {

// Result of one resgen run: its exit code (-1 when it did not exit normally)
// and everything it wrote to its standard error.
struct ResGenRun
{
    int exitCode;
    std::string errors;
};

// Runs resgen with (mode, source, output) as a separate process, its standard
// error captured in `errorFile`.
ResGenRun RunResGen(const std::string& mode, const std::string& source, const std::string& output,
                    const std::string& errorFile);

} // namespace restest
