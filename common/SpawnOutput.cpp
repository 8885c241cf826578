#include "SpawnOutput.h"

#include "SpawnAttributes.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace {

class CSpawnFileActions
{
public:
    CSpawnFileActions(int writeEnd, int readEnd, bool withErrors)
    {
        posix_spawn_file_actions_init(&m_actions);
        posix_spawn_file_actions_addopen(&m_actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&m_actions, writeEnd, 1);
        if (withErrors)
            posix_spawn_file_actions_adddup2(&m_actions, writeEnd, 2);
        else
            posix_spawn_file_actions_addopen(&m_actions, 2, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addclose(&m_actions, writeEnd);
        posix_spawn_file_actions_addclose(&m_actions, readEnd);
    }
    ~CSpawnFileActions() { posix_spawn_file_actions_destroy(&m_actions); }
    CSpawnFileActions(const CSpawnFileActions&) = delete;
    CSpawnFileActions& operator=(const CSpawnFileActions&) = delete;
    const posix_spawn_file_actions_t* Get() const { return &m_actions; }

private:
    posix_spawn_file_actions_t m_actions;
};

// Reads the pipe until the program closes it or the time is up; false on the latter.
bool ReadUntilEnd(int fd, std::string& output, std::chrono::milliseconds timeout, std::size_t limit)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    char buffer[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd poller{fd, POLLIN, 0};
        const int ready = poll(&poller, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return true;
        const std::size_t room = limit > output.size() ? limit - output.size() : 0;
        output.append(buffer, std::min(room, static_cast<std::size_t>(got)));
    }
}

int Reap(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

int RunProcessOutput(const std::vector<std::string>& argv, std::string& output,
                     std::chrono::milliseconds timeout, std::size_t limit, bool withErrors)
{
    output.clear();
    if (argv.empty() || argv[0].empty())
        return -1;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return -1;
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str())); // posix_spawn does not write them
    args.push_back(nullptr);
    pid_t pid = 0;
    int spawned = 0;
    {
        const CSpawnAttributes attributes;
        const CSpawnFileActions actions(fds[1], fds[0], withErrors);
        spawned =
            posix_spawnp(&pid, args[0], actions.Get(), attributes.Get(), args.data(), environ);
    }
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        return -1;
    }
    const bool ended = ReadUntilEnd(fds[0], output, timeout, limit);
    close(fds[0]);
    if (!ended)
        kill(pid, SIGKILL);
    const int status = Reap(pid);
    return ended ? status : -1;
}
