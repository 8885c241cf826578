#include "TbmRunner.h"

#include "TempDir.h"

#include "Globals.h"

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace tbmtest {

namespace {

int StatusOf(int raw)
{
    if (WIFEXITED(raw))
        return WEXITSTATUS(raw);
    return WIFSIGNALED(raw) ? 128 + WTERMSIG(raw) : -1;
}

} // namespace

CTbmRunner::CTbmRunner(std::string folder, std::string home) : m_folder(std::move(folder))
{
    m_env["HOME"] = home;
    m_env["XDG_CONFIG_HOME"] = home + "/.config";
    m_env["XDG_DATA_HOME"] = home + "/.local/share";
    m_env["XDG_CACHE_HOME"] = home + "/.cache";
}

std::string CTbmRunner::ProgramPath()
{
    return g_Globals.GetProgramPath("tbm");
}

TbmRun CTbmRunner::Run(const std::vector<std::string>& args) const
{
    return Run(args, [](pid_t) {});
}

TbmRun CTbmRunner::Run(const std::vector<std::string>& args,
                       const std::function<void(pid_t)>& whileRunning) const
{
    const std::string outPath = m_folder + "/tbm.out";
    const std::string errPath = m_folder + "/tbm.err";
    std::vector<std::string> argv = {m_program};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> pointers;
    for (std::string& arg : argv)
        pointers.push_back(arg.data());
    pointers.push_back(nullptr);

    const pid_t pid = fork();
    if (pid == 0) {
        for (const auto& [name, value] : m_env) {
            if (value.empty())
                unsetenv(name.c_str());
            else
                setenv(name.c_str(), value.c_str(), 1);
        }
        if (m_honourPermissions && !DropPermissionOverride())
            _exit(125);
        const int in = open("/dev/null", O_RDONLY);
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0)
            _exit(126);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        execv(pointers[0], pointers.data());
        _exit(127);
    }
    TbmRun run;
    if (pid < 0)
        return run;
    whileRunning(pid);
    int raw = 0;
    while (waitpid(pid, &raw, 0) < 0) {
    }
    run.status = StatusOf(raw);
    run.out = ReadFileBytes(outPath);
    run.err = ReadFileBytes(errPath);
    return run;
}

bool DropPermissionOverride()
{
    if (geteuid() != 0)
        return true;
    return prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0) == 0 &&
           prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0) == 0;
}

bool UnreadableToPrograms(const std::string& path)
{
    const pid_t pid = fork();
    if (pid == 0) {
        if (!DropPermissionOverride())
            _exit(2);
        // The bounding set takes effect at the next exec: a shell tries the file.
        execl("/bin/sh", "sh", "-c", "exec cat -- \"$0\" >/dev/null 2>&1", path.c_str(),
              static_cast<char*>(nullptr));
        _exit(2);
    }
    int raw = 0;
    if (pid < 0 || waitpid(pid, &raw, 0) != pid)
        return false;
    return WIFEXITED(raw) && WEXITSTATUS(raw) == 1;
}

int Shell(const std::string& command)
{
    return StatusOf(std::system((command + " >/dev/null 2>&1").c_str()));
}

std::string Quote(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

} // namespace tbmtest
