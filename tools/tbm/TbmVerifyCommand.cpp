#include "TbmVerifyCommand.h"

#include "TbmConsole.h"
#include "TbmEntryTester.h"
#include "TbmExitCodes.h"
#include "TbmInterrupt.h"
#include "TbmOptions.h"
#include "TbmPassword.h"
#include "TbmProgress.h"
#include "TbmTerminalText.h"

#include <unistd.h>

#include <cstdio>

int CTbmVerifyCommand::Run(const CTbmOptions& options)
{
    const std::string password = CTbmPassword::FromOptions(options);
    CTbmProgress progress(CTbmConsole::Get(), isatty(STDERR_FILENO) == 1);
    progress.SetPhase("Verifying");
    CTbmEntryTester::Run(options.m_strArchive, password, progress);
    progress.Finish();
    if (CTbmInterrupt::IsRaised()) {
        CTbmConsole::Get().Write("tbm: verification cancelled\n");
        return tbmexit::kCancelled;
    }
    const std::string shown = CTbmTerminalText::Escape(options.m_strArchive);
    if (progress.GetEndCode() == notify::kVerifyPassed) {
        std::printf("%s: every entry passed the test\n", shown.c_str());
        return tbmexit::kSuccess;
    }
    if (progress.IsArchiveUnreadable())
        std::printf("%s: verification failed: the archive cannot be read\n", shown.c_str());
    else
        std::printf("%s: verification failed (%ld damaged entries)\n", shown.c_str(),
                    static_cast<long>(progress.GetFailedCount()));
    return tbmexit::kFailed;
}
