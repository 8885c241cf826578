#include "TbmVerifyCommand.h"

#include "TbmConsole.h"
#include "TbmEntryTester.h"
#include "TbmExitCodes.h"
#include "TbmInterrupt.h"
#include "TbmOptions.h"
#include "TbmPassword.h"
#include "TbmProgress.h"

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
    if (progress.GetEndCode() == notify::kVerifyPassed) {
        std::printf("%s: every entry passed the test\n", options.m_strArchive.c_str());
        return tbmexit::kSuccess;
    }
    std::printf("%s: verification failed (%ld damaged entries)\n", options.m_strArchive.c_str(),
                static_cast<long>(progress.GetFailedCount()));
    return tbmexit::kFailed;
}
