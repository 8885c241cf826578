#include "StatusLogStartup.h"

#include "ModulePath.h"
#include "TempFileName.h"
#include "WriteLog.h"

#include <sys/utsname.h>
#include <unistd.h>

#include <charconv>
#include <cstdlib>
#include <filesystem>

const char* const kLogSwitchVariable = "TBM_LOG";

namespace {

const char* const kProductAddress = "https://tovan-backup.example.org";
const char* const kSupportAddress = "support@tovan-backup.example.org";
const char* const kRule = "-------------------------------------------------------";
// The platform id the version query reports for the NT family; the log readers know it.
const int kPlatformId = 2;
const int kApplicationVersion = 1000;
const int kApplicationBuild = 1000;

struct LogSwitch
{
    bool on = false;
    std::string folder; // empty: the program folder
};

LogSwitch ReadLogSwitch()
{
    const char* value = std::getenv(kLogSwitchVariable);
    const std::string text = value ? value : "";
    if (text.empty() || text == "0")
        return {};
    return {true, text == "1" ? std::string() : text};
}

// "<folder>/LOG<hex>_.log": the system hands out the unique part as a temporary file
// name, whose file is deleted at once; only the name is wanted.
std::string ChooseLogPath(const std::string& folder)
{
    const std::string temp = TvCreateTempFileName(folder, "LOG");
    if (temp.empty())
        return {};
    unlink(temp.c_str());
    return temp.substr(0, temp.rfind('.')) + "_.log";
}

// Number `index` of a kernel release such as "6.1.0-18-amd64" (major 6, minor 1,
// build 0); 0 when there is no such number.
int ReleasePart(const std::string& release, int index)
{
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) {
        start = release.find('.', start);
        if (start == std::string::npos)
            return 0;
        ++start;
    }
    int value = 0;
    std::from_chars(release.data() + start, release.data() + release.size(), value);
    return value;
}

void WriteBanner()
{
    utsname system{};
    const std::string release = uname(&system) == 0 ? system.release : "";
    WriteLog("Start The Application");
    WriteLog("Tovan Backup Manager Version 1.1");
    WriteLog("%s", kProductAddress);
    WriteLog("Platform ID : %d", kPlatformId);
    WriteLog("Platform Major Version : %d", ReleasePart(release, 0));
    WriteLog("Platform Minor Version : %d", ReleasePart(release, 1));
    WriteLog("Platform Build Number : %d", ReleasePart(release, 2));
    WriteLog("%s", kRule);
    WriteLog("Application Version Number : %d", kApplicationVersion);
    WriteLog("Application Build Number : %d", kApplicationBuild);
    WriteLog("Any Error or up normal behavior please send this log file to %s", kSupportAddress);
    WriteLog("%s", kRule);
}

void SetUpLog(const std::string& programFolder)
{
    const LogSwitch logSwitch = ReadLogSwitch();
    const std::string path =
        ChooseLogPath(logSwitch.folder.empty() ? programFolder : logSwitch.folder);
    if (path.empty())
        return;
    g_StatusLog.InitFullPath(path);
    // As delivered the log is off: StatusOut then reports success and writes nothing.
    g_StatusLog.Enable(logSwitch.on);
    if (logSwitch.on) {
        g_StatusLog.SetAppName(std::filesystem::path(TvGetModuleFileName()).stem().string());
        g_StatusLog.PrintAppName(true);
        g_StatusLog.PrintTime(true);
    }
    WriteBanner();
}

} // namespace

void StartStatusLog(const std::string& programFolder)
{
    try {
        SetUpLog(programFolder);
    } catch (...) {
        // Start-up goes on without a log.
    }
}
