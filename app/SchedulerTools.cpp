#include "SchedulerTools.h"

#include "SpawnOutput.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

// A scheduler that does not answer must not hang the program's window.
constexpr std::chrono::milliseconds kTimeout{30000};

} // namespace

std::string CSchedulerTools::Program(const char* variable, const char* fallback)
{
    const char* value = std::getenv(variable);
    return value && *value ? value : fallback;
}

int CSchedulerTools::Systemctl(const std::vector<std::string>& arguments)
{
    std::vector<std::string> argv{Program("TBM_SYSTEMCTL", "systemctl"), "--user"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::string ignored;
    return RunProcessOutput(argv, ignored, kTimeout);
}

int CSchedulerTools::Crontab(const std::vector<std::string>& arguments, std::string& output,
                             bool withErrors)
{
    std::vector<std::string> argv{Program("TBM_CRONTAB", "crontab")};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return RunProcessOutput(argv, output, kTimeout, std::size_t{1} << 20, withErrors);
}

std::vector<std::pair<std::string, std::string>> CSchedulerTools::RunEnvironment()
{
    std::vector<std::pair<std::string, std::string>> environment;
    for (const char* name : {"TBM_REGISTRY", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "TBM_LOG"})
        if (const char* value = std::getenv(name); value && *value)
            environment.emplace_back(name, value);
    return environment;
}

std::string CSchedulerTools::ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
