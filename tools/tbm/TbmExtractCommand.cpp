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
    std::size_t failed = 0;
    // Folders get their modes and times after their contents, also when cancelled.
    const auto finishFolders = [&zip, &failed] {
        for (const std::string& folder : zip.FinishFolders()) {
            Say("could not set the mode and time of " + folder);
            ++failed;
        }
    };
    for (std::size_t i = 0; i < zip.GetCount(); ++i) {
        if (CTbmInterrupt::IsRaised()) {
            finishFolders();
            Say("extraction cancelled");
            return tbmexit::kCancelled;
        }
        CZipEntryHeader header;
        zip.GetFileInfo(header, static_cast<int>(i));
        try {
            if (!zip.ExtractFile(static_cast<int>(i), options.m_strTarget, true)) {
                Say("could not extract " + CTbmArchive::EntryName(header));
                ++failed;
            }
        } catch (const CZipException& e) {
            Say("could not extract " + CTbmArchive::EntryName(header) + ": " + e.what());
            ++failed;
            if (e.GetCause() == CZipException::ErrBadPassword)
                break;
        }
    }
    finishFolders();
    std::printf("%zu of %zu entries extracted into %s\n", zip.GetCount() - failed, zip.GetCount(),
                options.m_strTarget.c_str());
    return failed ? tbmexit::kFailed : tbmexit::kSuccess;
}
