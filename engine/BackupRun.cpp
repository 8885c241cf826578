#include "BackupRun.h"

#include "AddInfo.h"
#include "BackupProgress.h"
#include "Globals.h"
#include "HtmlReport.h"
#include "Notify.h"
#include "ProjectData.h"
#include "Prompt.h"
#include "ResourceLibrary.h"
#include "TextInserts.h"
#include "ZipAddPipeline.h"
#include "ZipContainer.h"
#include "ZipDrive.h"
#include "ZipException.h"
#include "ZipPathParts.h"
#include "ZipPlatform.h"
#include "ZipSafeSave.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

constexpr unsigned kTextOpenFailed = 200;
constexpr unsigned kTextFinished = 202;
constexpr unsigned kTextFailed = 203;
constexpr unsigned kTextStoppedEarly = 204;
constexpr unsigned kTextAddFailed = 205;

} // namespace

CBackupRun::CBackupRun(BackupRunParts parts)
    : CJobRun(parts.report, parts.progress), m_parts(parts)
{
}

CBackupRun::~CBackupRun() = default;

void CBackupRun::Run()
{
    for (const CAddInfo* item : m_parts.files)
        m_totalBytes += item->m_dwSize;
    m_parts.progress.BeginPart(m_totalBytes);
    if (!OpenSourcesSafely()) {
        Fail();
        return;
    }
    if (IsUpToDate()) {
        ReportUpToDate();
        CloseSources();
        EndRun(RunEnding::kUpToDate);
        return;
    }
    if (!OpenTarget() || !ApplyPassword(m_parts.archive)) {
        Fail();
        return;
    }
    bool stopped = false;
    try {
        stopped = !ProcessFiles();
    } catch (const std::exception& e) {
        // Whatever went wrong, the new archive is not put in place.
        m_parts.report.WriteException(e);
        m_targetFailed = true;
        stopped = true;
    }
    Finish(stopped);
}

bool CBackupRun::OpenSourcesSafely()
{
    try {
        return OpenSources();
    } catch (const std::exception& e) {
        m_parts.report.WriteException(e);
        return false;
    }
}

bool CBackupRun::OpenTarget()
{
    const ArchiveOpenSettings& settings = m_parts.settings;
    const std::string& target = g_ProjectData.GetOutputPath();
    const bool spanned = settings.m_nOpenMode == CZipContainer::ArcCreateSpanned;
    m_volumeSet = spanned && settings.m_nVolumeSize > 0;
    if (spanned && settings.m_nVolumeSize == 0)
        return OpenArchive(target); // removable disks: written in place, disk by disk
    m_save = std::make_unique<CZipSafeSave>(target);
    if (const int removed = m_save->RemoveLeftovers(); removed > 0)
        m_parts.report.WriteFormatted("Removed %d temporary files left by an interrupted backup",
                                      removed);
    CZipPathParts last(target, CZipPathParts::NativeSyntax);
    if (m_volumeSet)
        last.m_extension = "tbm";
    m_hadPrevious = ZipPlatform::FileExists(last.GetFullPath()) == 1;
    if (!CheckFreeSpace())
        return false;
    m_writePath = m_save->Begin();
    if (m_writePath.empty()) {
        const std::string text = "Fail to create a new backup file beside " + target + ": " +
                                 std::strerror(errno);
        m_parts.report.WriteLine(text);
        Prompt().MessageBox(text, MB_OK | MB_ICONERROR);
        LogResource(kTextOpenFailed);
        return false;
    }
    return OpenArchive(m_writePath);
}

std::uint64_t CBackupRun::EstimateNeeded() const
{
    // The new backup is about as large as the one it replaces, but never more than
    // the files themselves.
    std::uint64_t previous = 0;
    if (!m_hadPrevious || m_volumeSet ||
        !ZipPlatform::GetFileSize(g_ProjectData.GetOutputPath(), previous))
        return 0;
    return std::min(previous, m_totalBytes);
}

bool CBackupRun::CheckFreeSpace()
{
    const std::uint64_t needed = EstimateNeeded();
    const std::string& target = g_ProjectData.GetOutputPath();
    std::uint64_t free = 0;
    if (needed == 0 || !CZipDrive::Current().GetFreeSpace(CZipSafeSave::FolderOf(target), free) ||
        free >= needed)
        return true;
    const std::string text = "There is not enough free space beside " + target +
                             " for the new backup: about " + g_Globals.FormatSize(needed) +
                             " needed, " + g_Globals.FormatSize(free) +
                             " free. The previous backup is unchanged.";
    m_parts.report.WriteLine(text);
    Prompt().MessageBox(text, MB_OK | MB_ICONERROR);
    return false;
}

bool CBackupRun::OpenArchive(const std::string& path)
{
    CZipContainer& archive = m_parts.archive;
    try {
        archive.SetBuffers(ArchiveBuffers::kWrite, ArchiveBuffers::kGeneral,
                           ArchiveBuffers::kSearch);
        archive.Open(path, m_parts.settings.m_nOpenMode, m_parts.settings.m_nVolumeSize);
        return true;
    } catch (const std::exception& e) {
        m_parts.report.WriteException(e);
        Prompt().MessageBox(e.what(), MB_OK | MB_ICONERROR);
        LogResource(kTextOpenFailed);
        return false;
    }
}

void CBackupRun::StartPipeline(const std::vector<const CAddInfo*>& items)
{
    std::vector<std::string> paths;
    CZipAddPipeline::Options options;
    paths.reserve(items.size());
    options.expectedSizes.reserve(items.size());
    for (const CAddInfo* item : items) {
        paths.push_back(item->m_strSourcePath);
        options.expectedSizes.push_back(item->m_dwDirectory ? CZipAddPipeline::NotAFile
                                                            : item->m_dwSize);
    }
    options.threads = g_ProjectData.m_dwThreads;
    m_pipeline = std::make_unique<CZipAddPipeline>(std::move(paths), options);
}

bool CBackupRun::ProcessFiles()
{
    PostEvent(notify::kFileCount, static_cast<std::intptr_t>(m_parts.files.GetSize()));
    StartPipeline({m_parts.files.begin(), m_parts.files.end()});
    std::uint32_t number = 0;
    for (const CAddInfo* item : m_parts.files) {
        bool stop = false;
        PostFileEvents(*item, ++number);
        PostEvent(notify::kAddedCount, number);
        const bool added = AddOne(*item, stop);
        if (!ReportRemaining(*item, added, stop))
            return false;
    }
    return true;
}

// An error of the archive being written (disk full, a failed write, the archive's
// own limits) ends the run: no later file could be added either. Errors of the
// file being read only cost that file.
bool CBackupRun::IsTargetError(const CZipException& error) const
{
    const int cause = error.GetCause();
    if (cause == CZipException::ErrVolumeLimit || cause == CZipException::ErrInternal)
        return true;
    const std::string& name = error.GetFileName();
    if (name == m_parts.archive.GetArchivePath() || name == m_writePath)
        return true;
    return m_save && CZipSafeSave::IsTemporaryName(
                         m_save->GetTarget(),
                         CZipPathParts(name, CZipPathParts::NativeSyntax).GetFileName());
}

bool CBackupRun::AddOne(const CAddInfo& item, bool& stop)
{
    CZipContainer& archive = m_parts.archive;
    CZipAddInfo info;
    info.m_path = item.m_strSourcePath;
    info.m_nameInArchive = item.m_strEntryName;
    info.m_fullPath = !item.m_strEntryName.empty();
    // A file refused before the archive starts on it must not inherit the count of
    // the one before.
    m_parts.progress.m_processed = 0;
    try {
        if (AddToArchive(item, info)) {
            // The entry holds what was read; the user should know it may not be the
            // file's final state.
            if (archive.LastFileChangedSize())
                m_parts.report.WriteLine("File changed while it was being backed up: " +
                                         item.m_strSourcePath);
            return true;
        }
        m_parts.progress.m_externalPath = item.m_strSourcePath;
        m_parts.progress.m_total = item.m_dwSize;
    } catch (const CZipException& e) {
        const int cause = e.GetCause();
        if (cause != CZipException::ErrAbortedSafely) {
            // The entry is dropped; the directory is still written when closing.
            try {
                archive.CloseNewFile(true);
            } catch (const std::exception&) {
                m_targetFailed = true;
            }
        }
        const bool aborted =
            cause == CZipException::ErrAbortedSafely || cause == CZipException::ErrAborted;
        if (aborted || cause == CZipException::ErrDiskChangeAborted)
            stop = true;
        if (!aborted && IsTargetError(e)) {
            m_targetFailed = true;
            stop = true;
        }
        if (!aborted)
            m_parts.report.WriteException(e);
    }
    LogResource(kTextAddFailed, item.m_strSourcePath);
    CountFailure(item.m_strSourcePath);
    return false;
}

bool CBackupRun::AddToArchive(const CAddInfo& item, const CZipAddInfo& info)
{
    CZipPreparedFile* prepared = m_pipeline ? m_pipeline->Take(item.m_strSourcePath) : nullptr;
    return prepared ? m_parts.archive.AddPreparedFile(info, *prepared)
                    : m_parts.archive.AddNewFile(info);
}

bool CBackupRun::ReportRemaining(const CAddInfo& item, bool clean, bool stop)
{
    const std::uint64_t done = m_parts.progress.m_processed;
    const std::uint64_t remaining = item.m_dwSize > done ? item.m_dwSize - done : 0;
    if (!m_parts.progress.Advance(remaining) || stop)
        return false;
    return !(clean && m_parts.progress.m_StopEvent.IsSet());
}

void CBackupRun::PostFileEvents(const CAddInfo& item, std::uint32_t number)
{
    PostEvent(notify::kFilePath, reinterpret_cast<std::intptr_t>(item.m_strSourcePath.c_str()));
    PostEvent(notify::kFileNumber, number);
}

// The directory is written and synced whatever stopped the run; false (with a
// report line) when the archive could not be closed whole.
bool CBackupRun::CloseArchive()
{
    CZipContainer& archive = m_parts.archive;
    if (archive.IsClosed())
        return false;
    try {
        archive.Close(CZipContainer::CloseNormal, true);
        return true;
    } catch (const std::exception& e) {
        m_parts.report.WriteException(e);
        m_parts.report.WriteLine("Fail to close the backup file " + g_ProjectData.GetOutputPath());
        try {
            archive.Close(CZipContainer::CloseAfterException, false);
        } catch (const std::exception&) {
            // Giving the file up writes nothing; there is nothing more to do.
        }
        return false;
    }
}

bool CBackupRun::Commit()
{
    if (!m_save)
        return true;
    try {
        m_save->Commit(m_volumeSet);
        return true;
    } catch (const std::exception& e) {
        m_parts.report.WriteException(e);
        m_parts.report.WriteLine("Fail to put the new backup in place of " +
                                 g_ProjectData.GetOutputPath());
        m_save->Discard();
        return false;
    }
}

void CBackupRun::Finish(bool stopped)
{
    CHtmlReport& report = m_parts.report;
    if (stopped && !m_targetFailed) {
        report.WriteLine("");
        LogResource(kTextStoppedEarly);
    }
    m_pipeline.reset(); // stops the threads of a run that ended early
    const bool closed = CloseArchive();
    CloseSources();
    RunEnding::Kind kind = RunEnding::kFailed;
    const std::string unchanged = m_hadPrevious ? " The previous backup is unchanged." : "";
    if (!closed || m_targetFailed) {
        if (m_save)
            m_save->Discard();
        report.WriteLine("The new backup could not be written." + unchanged);
    } else if (stopped && m_save && m_hadPrevious) {
        m_save->Discard();
        report.WriteLine("The backup was cancelled." + unchanged);
        kind = RunEnding::kCancelledUnchanged;
    } else if (stopped) {
        if (Commit()) {
            report.WriteLine("The backup is incomplete: it holds only the files added before "
                             "it was cancelled.");
            kind = RunEnding::kCancelledIncomplete;
        }
    } else if (Commit()) {
        kind = RunEnding::kFinished;
    }
    EndRun(kind);
}

void CBackupRun::Fail()
{
    CloseSources();
    try {
        m_parts.archive.Close(CZipContainer::CloseAfterException, false);
    } catch (const std::exception&) {
        // Giving the file up writes nothing; there is nothing more to do.
    }
    if (m_save)
        m_save->Discard();
    m_parts.ending.kind = RunEnding::kFailed;
    PostEvent(notify::kBackupFailed, 0);
    m_parts.report.SaveBackupReport();
    m_parts.progress.End();
}

void CBackupRun::EndRun(RunEnding::Kind kind)
{
    m_parts.ending.kind = kind;
    const bool finished = kind == RunEnding::kFinished || kind == RunEnding::kUpToDate;
    m_parts.report.WriteLine("");
    if (finished) {
        LogResource(kTextFinished);
        PostEvent(notify::kBackupDone, 0);
    } else {
        LogResource(kTextFailed);
        PostEvent(notify::kBackupFailed, 0);
    }
    m_parts.report.SaveBackupReport();
    m_parts.progress.End();
}
