#include "TbmBackupCommand.h"
#include "TbmConsole.h"
#include "TbmExitCodes.h"
#include "TbmExtractCommand.h"
#include "TbmInterrupt.h"
#include "TbmListCommand.h"
#include "TbmOptions.h"
#include "TbmPrompt.h"
#include "TbmRestoreCommand.h"
#include "TbmScheduleCommand.h"
#include "TbmSourcesCommand.h"
#include "TbmUsage.h"
#include "TbmUsageError.h"
#include "TbmVerifyCommand.h"

#include "Globals.h"
#include "Prompt.h"
#include "ResourceLibrary.h"
#include "StatusLogStartup.h"

#include <cstdio>
#include <iostream>
#include <stdexcept>

namespace {

int RunCommand(const CTbmOptions& options)
{
    switch (options.m_command) {
    case CTbmOptions::Command::Help:
        std::fputs(CTbmUsage::Full(), stdout);
        return tbmexit::kSuccess;
    case CTbmOptions::Command::Version:
        std::puts("tbm (Tovan Backup Manager) 1.1");
        return tbmexit::kSuccess;
    case CTbmOptions::Command::Backup:
        return CTbmBackupCommand(options).Run();
    case CTbmOptions::Command::Verify:
        return CTbmVerifyCommand::Run(options);
    case CTbmOptions::Command::List:
        return CTbmListCommand::Run(options, std::cout);
    case CTbmOptions::Command::Extract:
        return CTbmExtractCommand::Run(options);
    case CTbmOptions::Command::Restore:
        return CTbmRestoreCommand(options).Run();
    case CTbmOptions::Command::Sources:
        return CTbmSourcesCommand::Run(options, std::cout);
    case CTbmOptions::Command::Schedule:
        return CTbmScheduleCommand::Run(options, std::cout);
    }
    return tbmexit::kUsage;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        const CTbmOptions options =
            CTbmOptions::Parse(std::vector<std::string>(argv + 1, argv + argc));
        StartStatusLog(g_Globals.GetProgramFolder());
        TextResources().Load(g_Globals.GetProgramPath(kTextResFileName));
        CTbmInterrupt::Install();
        CTbmPrompt prompt(options.m_onError, CTbmConsole::Get());
        SetPrompt(&prompt);
        const int code = RunCommand(options);
        SetPrompt(nullptr);
        return code;
    } catch (const CTbmUsageError& e) {
        SetPrompt(nullptr);
        std::fprintf(stderr, "tbm: %s\n%s", e.what(), CTbmUsage::Short());
        return tbmexit::kUsage;
    } catch (const std::exception& e) {
        SetPrompt(nullptr);
        std::fprintf(stderr, "tbm: %s\n", e.what());
        return tbmexit::kFailed;
    }
}
