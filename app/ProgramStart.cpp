#include "ProgramStart.h"

#include "BackupCommandLineInfo.h"
#include "FileArgument.h"
#include "Globals.h"
#include "Preferences.h"
#include "ResourceLibrary.h"
#include "RunOptions.h"
#include "StatusLogStartup.h"
#include "WriteLog.h"

#include <unistd.h>

#include <cstdlib>

namespace {

// Said before the text library is loaded, so it cannot come from there.
const char* const kPreferencesFailed =
    "Your TBManager settings could not be read, so the program cannot start.\nPlease try again.";

} // namespace

bool CProgramStart::HasDisplay()
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && (std::string(platform) == "offscreen" || std::string(platform) == "minimal"))
        return false;
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

bool CProgramStart::Begin(const std::vector<std::string>& arguments, const Fail& fail)
{
    g_FileArgument.Take(arguments);
    if (!g_Preferences.Load()) {
        fail(kPreferencesFailed);
        return false;
    }
    g_Preferences.RegisterFileTypeAtStart();
    const std::string library = g_Globals.GetResourceLibraryPath();
    if (!TextResources().Load(library)) {
        fail("Error missing Reource file " + library + "\nPlease re-install the Application");
        return false;
    }
    if (::chdir(g_Globals.GetProgramFolder().c_str()) != 0)
        WriteLog("Fail to change the working folder to %s", g_Globals.GetProgramFolder().c_str());
    StartStatusLog(g_Globals.GetProgramFolder());
    ReadCommandLine(arguments);
    return true;
}

// The switches are read only when the arguments name no existing file.
void CProgramStart::ReadCommandLine(const std::vector<std::string>& arguments)
{
    if (!g_FileArgument.HadArguments() || g_FileArgument.Resolve())
        return;
    std::vector<std::string> line{g_Globals.GetProgramPath("TBManager")};
    line.insert(line.end(), arguments.begin(), arguments.end());
    CBackupCommandLineInfo info(line);
    ParseCommandLine(info);
}
