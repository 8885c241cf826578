// The restore run: section by section, each section's entries on the job's threads.
#include "RestoreRun.h"

#include "AddInfo.h"
#include "ArchiveOpenSettings.h"
#include "BackupMangerSource.h"
#include "BackupProgress.h"
#include "HtmlReport.h"
#include "ItemKinds.h"
#include "Notify.h"
#include "ProgressCatchUp.h"
#include "ProjectData.h"
#include "ResourceLibrary.h"
#include "RestoreIdentity.h"
#include "RestoreNotify.h"
#include "TextInserts.h"
#include "ZipContainer.h"

#include <utility>

namespace {

constexpr unsigned kTextFinished = 239;
constexpr unsigned kTextIdentity = 238;

// The heading of a section that is not an identity; 0 for an unknown kind.
unsigned HeadingOf(std::uint32_t kind)
{
    switch (kind) {
    case itemkind::kOutlook:
        return 156;
    case itemkind::kMyFiles:
        return 158;
    case itemkind::kFavorites:
        return 174;
    case itemkind::kAddressBook:
        return 157;
    case itemkind::kFonts:
        return 173;
    case itemkind::kApplications:
        return 126;
    default:
        return 0;
    }
}

std::string WithoutExtension(const std::string& name)
{
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

} // namespace

CRestoreRun::CRestoreRun(RestoreRunParts parts)
    : CJobRun(parts.report, parts.progress), m_parts(std::move(parts))
{
}

void CRestoreRun::PostRestoreHeading(const std::string& text)
{
    m_report.WriteLine("");
    m_report.WriteLine(text);
    if (m_progress.m_pNotify) {
        // The receiver owns the heading from here on and deletes it.
        auto* heading = new std::string(text);
        m_progress.m_pNotify->post(notify::kEvent, notify::kRestoreSection,
                                   reinterpret_cast<std::intptr_t>(heading));
    }
}

void CRestoreRun::Run()
{
    PostEvent(notify::kRestoreStarted, 0);
    bool stopped = false;
    std::size_t identityIndex = 0;
    for (const std::uint16_t kind : m_parts.kinds) {
        if (!RestoreSection(kind, identityIndex)) {
            stopped = true;
            break;
        }
    }
    m_parts.closeArchive(m_failedEntry);
    if (!stopped) {
        m_report.WriteLine("");
        LogResource(kTextFinished);
        PostEvent(notify::kRestoreDone, 0);
    }
    m_report.SaveRestoreReport();
    m_progress.End();
}

// One section; false when the restore stops here.
bool CRestoreRun::RestoreSection(std::uint32_t kind, std::size_t& identityIndex)
{
    // A stop asked for before this section (right after the start, or between two
    // sections) ends the run: no later section is begun.
    if (StopRequested())
        return false;
    m_progress.m_RunningEvent.Set();
    m_sectionKind = kind;
    std::string backupGuid;
    std::string targetGuid;
    CBackupMangerSource* source = nullptr;
    if (kind == itemkind::kOEIdentity) {
        const std::string name = identityIndex < m_parts.identities.size()
                                     ? m_parts.identities[identityIndex]
                                     : std::string();
        ++identityIndex;
        CRestoreIdentity* identity = m_parts.identityOf(name);
        source = identity;
        backupGuid = WithoutExtension(name);
        if (identity)
            targetGuid = identity->GetTargetGuid();
        PostRestoreHeading(FillInserts(LoadResString(kTextIdentity),
                                       {identity ? identity->GetIdentityName() : name}));
    } else {
        source = m_parts.sourceOf(kind);
        PostRestoreHeading(LoadResString(HeadingOf(kind)));
    }

    CAutoObArray<CAddInfo>& runList = m_parts.runList;
    const std::size_t first = runList.GetSize();
    if (source) {
        source->GetRestorePlan().HandOverTo(runList);
        // The source keeps no pointers into a plan it no longer owns.
        source->GetRestorePlan().RemoveAll();
    }
    const std::size_t last = runList.GetSize();
    if (first == last)
        return true;

    std::uint64_t sum = 0;
    for (std::size_t i = first; i < last; ++i) {
        CAddInfo& entry = *runList[i];
        entry.m_nArchiveIndex = m_parts.archive.FindFile(entry.m_strEntryName, 0, false);
        // The catalogue holds sizes to 4 GiB; the archive knows them whole.
        CZipEntryHeader header;
        if (m_parts.archive.GetFileInfo(header, entry.m_nArchiveIndex))
            entry.m_dwSize = header.m_uncompressedSize;
        sum += entry.m_dwSize;
    }
    m_progress.BeginPart(sum);
    m_progress.PostProgress();

    const bool stop = RestoreEntries(first, last, kind, backupGuid, targetGuid);
    FinishRestoredFolders();
    PostEvent(notify::kRestoreSectionEnded, static_cast<std::intptr_t>(sum));
    m_progress.End();
    return !stop;
}

// Before an entry goes to a thread: a missing entry is a failure, a folder is made
// here, and a file's target is prepared (which may ask the user); false when there
// is nothing to extract.
bool CRestoreRun::PrepareEntry(CAddInfo& entry, std::uint32_t kind)
{
    if (entry.m_nArchiveIndex < 0) {
        // The catalogue promised it: a restore without it is not a whole one.
        m_report.WriteFormatted("Fail to restore %s: missing from the backup",
                                entry.m_strTargetPath.c_str());
        ++m_parts.failures;
        return false;
    }
    CZipEntryHeader header;
    if (m_parts.archive.GetFileInfo(header, entry.m_nArchiveIndex) && header.IsDirectory()) {
        RestoreFolder(entry, kind);
        return false;
    }
    PostEvent(notify::kRestorePath, reinterpret_cast<std::intptr_t>(entry.m_strTargetPath.c_str()));
    return PrepareTarget(entry, kind);
}

// The entries [first, last) of the run list: prepared in order, extracted on the
// job's threads (each with an archive object of its own), finished in order; true
// when the restore stops. The progress hears of the bytes as they are extracted and
// is brought up to the end of every entry finished.
bool CRestoreRun::RestoreEntries(std::size_t first, std::size_t last, std::uint32_t kind,
                                 const std::string& backupGuid, const std::string& targetGuid)
{
    const std::string path = m_parts.archive.GetArchivePath();
    const std::string password = m_parts.archive.GetPassword();
    CZipEntryWorkers workers(
        m_parts.archive, g_ProjectData.m_dwThreads, [&path, &password](CZipContainer& archive) {
            archive.SetBuffers(ArchiveBuffers::kWrite, ArchiveBuffers::kGeneral,
                               ArchiveBuffers::kSearch);
            archive.Open(path, CZipContainer::ArcOpenReadOnly, 0);
            archive.SetPassword(password);
        });
    bool stop = false;
    CProgressCatchUp progress(m_progress);
    const auto entryAt = [this](int position) -> CAddInfo& {
        return *m_parts.runList[static_cast<std::size_t>(position)];
    };
    workers.Run(
        CZipEntryWorkers::Indexes(last - first, static_cast<int>(first)),
        [&entryAt](CZipContainer& archive, int position) {
            return ExtractEntry(archive, entryAt(position));
        },
        [&](int position, const CZipEntryWorkers::Result& result) {
            const CAddInfo& entry = entryAt(position);
            const bool restored =
                !result.skipped && FinishEntry(entry, result, backupGuid, targetGuid, stop);
            if (!progress.Finished(result.skipped ? 0 : entry.m_dwSize))
                stop = true;
            if (restored && m_progress.m_StopEvent.IsSet())
                stop = true;
            return !stop;
        },
        [&](std::uint64_t bytes) {
            if (!progress.Add(bytes))
                stop = true;
            return !stop;
        },
        [&](int position) {
            // Once the user stopped the restore, no further target is touched.
            if (stop || StopRequested()) {
                stop = true;
                return false;
            }
            return PrepareEntry(entryAt(position), kind);
        });
    return stop;
}

// Folders get their modes and times once the section's files are in them, also when
// the section stopped early: a private folder must not stay open to others.
void CRestoreRun::FinishRestoredFolders()
{
    for (const std::string& path : m_parts.archive.FinishFolders()) {
        m_report.WriteFormatted("Fail to set the mode and time of folder %s", path.c_str());
        ++m_parts.failures;
    }
}
