#include "TbmExtractCommand.h"

#include "TbmArchive.h"
#include "TbmConsole.h"
#include "TbmExitCodes.h"
#include "TbmFiles.h"
#include "TbmInterrupt.h"
#include "TbmOptions.h"
#include "TbmPassword.h"
#include "TbmTerminalText.h"

#include "ZipException.h"

#include <cstdio>

namespace {

void Say(const std::string& text)
{
    // Entry names and the errors naming them may hold anything.
    CTbmConsole::Get().Write("tbm: " + CTbmTerminalText::Escape(text) + "\n");
}

} // namespace

int CTbmExtractCommand::Run(const CTbmOptions& options)
{
    const std::string password = CTbmPassword::FromOptions(options);
    CTbmArchive archive;
    try {
        archive.Open(options.m_strArchive);
    } catch (const CZipException& e) {
        Say(options.m_strArchive + ": " + e.what());
        return tbmexit::kFailed;
    }
    std::string error;
    if (!archive.PreparePassword(password, error)) {
        Say(error);
        return tbmexit::kFailed;
    }
    if (!CTbmFiles::EnsureFolder(options.m_strTarget)) {
        Say("cannot create the folder '" + options.m_strTarget + "'");
        return tbmexit::kFailed;
    }
    CZipContainer& zip = archive.Zip();
    CZipEntryWorkers workers(zip, 0, archive.WorkerOpener());
    std::size_t failed = 0;
    bool wrongPassword = false;
    const auto report = [&](int index, const CZipEntryWorkers::Result& result) {
        if (result.ok)
            return !CTbmInterrupt::IsRaised();
        CZipEntryHeader header;
        zip.GetFileInfo(header, index);
        const std::string why = CZipEntryWorkers::ErrorText(result);
        Say("could not extract " + CTbmArchive::EntryName(header) + (why.empty() ? "" : ": " + why));
        wrongPassword = CZipEntryWorkers::ErrorCause(result) == CZipException::ErrBadPassword;
        ++failed;
        return !wrongPassword && !CTbmInterrupt::IsRaised();
    };
    const std::string& target = options.m_strTarget;
    const bool finished = workers.Run(
        CZipEntryWorkers::Indexes(zip.GetCount()),
        [&target](CZipContainer& archive, int index) { return archive.ExtractFile(index, target, true); },
        report, [](std::uint64_t) { return !CTbmInterrupt::IsRaised(); });
    // Folders get their modes and times after their contents, also when cancelled.
    for (const std::string& folder : workers.FinishFolders()) {
        Say("could not set the mode and time of " + folder);
        ++failed;
    }
    if (!finished && !wrongPassword) {
        Say("extraction cancelled");
        return tbmexit::kCancelled;
    }
    std::printf("%zu of %zu entries extracted into %s\n", zip.GetCount() - failed, zip.GetCount(),
                options.m_strTarget.c_str());
    return failed ? tbmexit::kFailed : tbmexit::kSuccess;
}
