#pragma once

#include <sys/types.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tbmtest {

// Runs a built program (tbm unless told otherwise) with stdin from /dev/null (no terminal) and its
// output kept, in an environment of the test's choosing.
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
    // Next runs honour file permissions even as root: the capabilities that override
    // them are dropped from the child's bounding set, so a mode 000 file cannot be read.
    void SetHonourPermissions(bool honour) { m_honourPermissions = honour; }
    // Another program of the build to run instead of tbm (a full path).
    void SetProgram(std::string path) { m_program = std::move(path); }

    TbmRun Run(const std::vector<std::string>& args) const;
    // Starts tbm, calls `whileRunning` with its process id, then waits for it.
    TbmRun Run(const std::vector<std::string>& args,
               const std::function<void(pid_t)>& whileRunning) const;

    static std::string ProgramPath();

private:
    std::string m_folder;
    std::string m_program = ProgramPath();
    std::map<std::string, std::string> m_env;
    bool m_honourPermissions = false;
};

// Drops the capabilities that let root read and search any file from this process's
// bounding set, so a program it executes honours file permissions; false when that
// cannot be done. Call it in a forked child only.
bool DropPermissionOverride();
// Whether a program started without those capabilities would fail to open `path`.
bool UnreadableToPrograms(const std::string& path);

// Runs a shell command line, output discarded; its exit code.
int Shell(const std::string& command);
// Single quotes for the shell.
std::string Quote(const std::string& text);

} // namespace tbmtest
