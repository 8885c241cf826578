#include "Spawn.h"

#include "SpawnAttributes.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <thread>

namespace {

int WaitForExit(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

} // namespace

int RunProcess(const std::vector<std::string>& argv, bool wait)
{
    if (argv.empty() || argv[0].empty())
        return -1;
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str())); // posix_spawn does not write them
    args.push_back(nullptr);
    const CSpawnAttributes attributes;
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], nullptr, attributes.Get(), args.data(), environ) != 0)
        return -1;
    if (wait)
        return WaitForExit(pid);
    std::thread([pid] { WaitForExit(pid); }).detach();
    return 0;
}
