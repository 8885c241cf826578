#include "Spawn.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <thread>

namespace {

// The child starts with default signal handling and nothing blocked, whatever the
// calling thread has set up (a GUI that ignores SIGPIPE must not pass that on).
class CSpawnAttributes
{
public:
    CSpawnAttributes()
    {
        posix_spawnattr_init(&m_attr);
        sigset_t all;
        sigset_t none;
        sigfillset(&all);
        sigemptyset(&none);
        posix_spawnattr_setsigdefault(&m_attr, &all);
        posix_spawnattr_setsigmask(&m_attr, &none);
        posix_spawnattr_setflags(&m_attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    }
    ~CSpawnAttributes() { posix_spawnattr_destroy(&m_attr); }
    CSpawnAttributes(const CSpawnAttributes&) = delete;
    CSpawnAttributes& operator=(const CSpawnAttributes&) = delete;
    const posix_spawnattr_t* Get() const { return &m_attr; }

private:
    posix_spawnattr_t m_attr;
};

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
