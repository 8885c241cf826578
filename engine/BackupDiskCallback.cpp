#include "BackupDiskCallback.h"

#include "Prompt.h"
#include "ResourceLibrary.h"
#include "TextInserts.h"

#include <cstdio>
#include <string>

namespace {

constexpr unsigned kTextInsertDisk = 263;
constexpr unsigned kTextDeleteFailed = 147;

} // namespace

bool CBackupDiskCallback::Callback(int code)
{
    if (code == DiskHoldsArchiveName)
        return AskAboutExistingFile();
    const std::string text =
        FillInserts(LoadResString(kTextInsertDisk), {std::to_string(m_diskNumber)});
    return Prompt().MessageBox(text, MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

bool CBackupDiskCallback::AskAboutExistingFile()
{
    const std::string text =
        FillInserts(LoadResString(kTextInsertDisk), {std::to_string(m_diskNumber)});
    const int answer = Prompt().MessageBox(text, MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDNO)
        return true;
    // Anything but Yes or No gives up: an answer nobody meant must neither delete a
    // file nor send the store round the same question forever.
    if (answer != IDYES)
        return false;
    if (std::remove(m_volumePath.c_str()) != 0) {
        Prompt().MessageBox(FillInserts(LoadResString(kTextDeleteFailed), {m_volumePath}),
                            MB_OK | MB_ICONERROR);
    }
    return true;
}
