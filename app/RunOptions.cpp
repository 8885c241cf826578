#include "RunOptions.h"

#include "BackupCommandLineInfo.h"
#include "CaseFold.h"
#include "WriteLog.h"

bool g_bExecuteJob = false;
bool g_bQuick = false;
std::string g_strJobName;
bool g_bExitWhenDone = false;
bool g_bShowReport = false;
bool g_bValidate = false;

namespace {

void Apply(const std::string& name, const std::string& value)
{
    if (EqualsNoCase(name, "e"))
        g_bExecuteJob = true;
    else if (EqualsNoCase(name, "quick"))
        g_bQuick = true;
    else if (EqualsNoCase(name, "job"))
        g_strJobName = value;
    else if (EqualsNoCase(name, "noexit"))
        g_bExitWhenDone = false;
    else if (EqualsNoCase(name, "showlogfile"))
        g_bShowReport = true;
    else if (EqualsNoCase(name, "novalidate"))
        g_bValidate = false;
}

} // namespace

bool ParseCommandLine(CBackupCommandLineInfo& info)
{
    WriteLog("Enter ParseCommandLine");
    WriteLog("Command line : %s", info.GetCommandLine().c_str());
    g_bQuick = false;
    g_bExitWhenDone = true;
    g_bShowReport = false;
    g_bValidate = true;
    std::string name;
    std::string value;
    for (bool more = info.GetFirstParameter(name, value); more;
         more = info.GetNextParameter(name, value))
        if (!name.empty())
            Apply(name, value);
    return true;
}
