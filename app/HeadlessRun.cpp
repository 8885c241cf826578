#include "HeadlessRun.h"

#include "FileArgument.h"
#include "HeadlessPrompt.h"
#include "JobLock.h"
#include "PowerSupply.h"
#include "ProgramStart.h"
#include "RunOptions.h"
#include "TbmBackupCommand.h"
#include "TbmConsole.h"
#include "TbmExitCodes.h"
#include "TbmInterrupt.h"
#include "TbmOptions.h"

#include "ProjectData.h"

#include <algorithm>
#include <exception>

namespace {

void Say(const std::string& text)
{
    CTbmConsole::Get().Write("TBManager: " + text + "\n");
}

} // namespace

bool CHeadlessRun::IsWanted(const std::vector<std::string>& arguments)
{
    if (CProgramStart::HasDisplay())
        return false;
    // The switches alone decide; a backup file to open is for the window.
    return std::any_of(arguments.begin(), arguments.end(), [](const std::string& argument) {
        return argument == "-e" || argument == "/e" || argument == "-E" || argument == "/E";
    });
}

int CHeadlessRun::Run(const std::vector<std::string>& arguments)
{
    CTbmConsole::SetStatusLogCopy(true);
    if (!CProgramStart::Begin(arguments, Say))
        return tbmexit::kFailed;
    if (!g_bExecuteJob) {
        // "-e" was a backup file's name after all: nothing to run without a window.
        Say("nothing to run: an unattended run needs -e and -job with a saved job's name");
        return tbmexit::kFailed;
    }
    // Not a failure: the schedule asked for it, as a timer's power condition would.
    if (CPowerSupply::MustWaitForMains()) {
        Say(CPowerSupply::kHeldBack);
        return tbmexit::kSuccess;
    }
    CTbmInterrupt::Install();
    CHeadlessPrompt prompt([](const std::string& text) { Say(text); });
    SetPrompt(&prompt);
    int code = tbmexit::kFailed;
    try {
        code = RunJob(g_strJobName);
    } catch (const std::exception& e) {
        Say(e.what());
    }
    SetPrompt(nullptr);
    return code;
}

int CHeadlessRun::RunJob(const std::string& name)
{
    // A name that is no saved job would back up an empty new job: nothing the user
    // chose, yet a run that looks done.
    if (name.empty()) {
        Say("no job named: use -job with the name of a saved job");
        return tbmexit::kFailed;
    }
    if (!g_ProjectData.IsSavedJob(name)) {
        Say("there is no saved job \"" + name + "\"");
        return tbmexit::kFailed;
    }
    if (!g_ProjectData.LoadJob(name)) {
        Say("Fail to load project name: \"" + name + "\"");
        return tbmexit::kFailed;
    }
    CJobLock lock;
    if (!lock.Acquire(g_ProjectData.GetJobFolder())) {
        Say("the job \"" + name + "\" is running in another Tovan Backup Manager process");
        return tbmexit::kFailed;
    }
    return RunLocked();
}

int CHeadlessRun::RunLocked()
{
    CTbmOptions options;
    options.m_command = CTbmOptions::Command::Backup;
    options.m_strJob = g_strJobName;
    options.m_bVerify = g_bValidate;
    const int code = CTbmBackupCommand(options).Run();
    if (g_bShowReport)
        Say("no display: the report is not opened");
    // A cancel nobody asked for is a question nobody could answer (a disk, a
    // folder): the run failed.
    if (code == tbmexit::kCancelled && !CTbmInterrupt::IsRaised())
        return tbmexit::kFailed;
    return code;
}
