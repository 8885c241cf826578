#pragma once

#include <sys/types.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tbmtest {

// Runs the built tbm program with stdin from /dev/null (no terminal) and its output
// kept, in an environment of the test's choosing.
struct TbmRun
{
    int status = -1; // exit code, or 128 + signal
    std::string out;
    std::string err;
};

class CTbmRunner
{
public:
    // `folder` keeps the captured output files; `home` becomes HOME and the XDG folders.
    CTbmRunner(std::string folder, std::string home);

    // Extra environment variables for the next runs ("" value removes the variable).
    void SetEnv(const std::string& name, const std::string& value) { m_env[name] = value; }

    TbmRun Run(const std::vector<std::string>& args) const;
    // Starts tbm, calls `whileRunning` with its process id, then waits for it.
    TbmRun Run(const std::vector<std::string>& args,
               const std::function<void(pid_t)>& whileRunning) const;

    static std::string ProgramPath();

private:
    std::string m_folder;
    std::map<std::string, std::string> m_env;
};

// Runs a shell command line, output discarded; its exit code.
int Shell(const std::string& command);
// Single quotes for the shell.
std::string Quote(const std::string& text);

} // namespace tbmtest
