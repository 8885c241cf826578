#pragma once

#include <string>
#include <vector>

// The outside programs the task forms call, replaceable for tests: TBM_SYSTEMCTL and
// TBM_CRONTAB name stand-ins for systemctl and crontab, so no test touches the
// user's real scheduler.
class CSchedulerTools
{
public:
    // "systemctl --user ARGS..."; its exit status (-1: not started).
    static int Systemctl(const std::vector<std::string>& arguments);
    // "crontab ARGS..." with what it printed (`withErrors`: its error output too); its
    // exit status.
    static int Crontab(const std::vector<std::string>& arguments, std::string& output,
                       bool withErrors = false);
    // The environment a scheduled run needs from this one (registry store, XDG
    // folders, log switch): name and value of each variable that is set.
    static std::vector<std::pair<std::string, std::string>> RunEnvironment();
    // The text of a file, or empty when there is none.
    static std::string ReadText(const std::string& path);

private:
    static std::string Program(const char* variable, const char* fallback);
};
