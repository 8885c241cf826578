#include "ResGenProcess.h"

#include "ResourceTestPaths.h"
#include "TempDir.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <vector>

extern char** environ;

namespace restest {

ResGenRun RunResGen(const std::string& mode, const std::string& source, const std::string& output,
                    const std::string& errorFile)
{
    const std::string program = ResGenPath();
    std::vector<std::string> args = {program, mode, source, output};
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return {-1, "cannot start " + program};
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return {-1, tbmtest::ReadFileBytes(errorFile)};
    return {WEXITSTATUS(status), tbmtest::ReadFileBytes(errorFile)};
}

} // namespace restest
