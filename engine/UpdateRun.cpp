#include "UpdateRun.h"

#include "AddInfo.h"
#include "BackupProgress.h"
#include "HtmlReport.h"
#include "Notify.h"
#include "ProjectData.h"
#include "Prompt.h"
#include "ResultCodes.h"
#include "ZipAttributes.h"
#include "ZipException.h"
#include "ZipPlatform.h"

#include <sys/stat.h>

#include <limits>

namespace {

constexpr unsigned kTextDeleting = 206;
constexpr unsigned kTextAdded = 207;
constexpr unsigned kTextReplaced = 208;
constexpr unsigned kTextObsolete = 209;
constexpr unsigned kTextUnchanged = 210;
constexpr const char* kMainCatalogue = "maindata.ini";
// The step of the DOS time: a stored time this close to the earlier run's start
// cannot prove that the file did not change after it was read.
constexpr std::time_t kTimeStep = 2;
// Encrypted entries whose password check the job's password must pass. One check
// lets a wrong password through once in 256 tries (traditional encryption); each
// further entry, which costs one short read, divides that chance again.
constexpr int kPasswordChecks = 4;

// A folder itself; a link to one is stored as a link.
bool IsFolder(const std::string& path)
{
    struct stat st
    {
    };
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The name the archive stores an item under: its entry name, or without one the
// last part of its path; a folder's name ends in '\'.
std::string StoredNameOf(const CAddInfo& item)
{
    std::string name = item.m_strEntryName;
    std::string path = item.m_strSourcePath;
    while (!path.empty() && (path.back() == '/' || path.back() == '\\'))
        path.pop_back();
    if (name.empty()) {
        const std::size_t slash = path.find_last_of('/');
        name = slash == std::string::npos ? path : path.substr(slash + 1);
    }
    for (char& c : name)
        if (c == '/')
            c = '\\';
    if (IsFolder(path) && (name.empty() || name.back() != '\\'))
        name += '\\';
    return name;
}

} // namespace

CUpdateRun::CUpdateRun(BackupRunParts parts, bool synchronise)
    : CBackupRun(parts), m_synchronise(synchronise)
{
}

CUpdateRun::~CUpdateRun() = default;

bool CUpdateRun::OpenSources()
{
    if (!OpenOld())
        return false;
    Decide();
    return true;
}

bool CUpdateRun::OpenOld()
{
    const std::string& path = g_ProjectData.GetOutputPath();
    if (ZipPlatform::FileExists(path) != 1)
        return true; // the first run: everything is new
    try {
        m_old.SetBuffers(ArchiveBuffers::kGeneral, ArchiveBuffers::kGeneral,
                         ArchiveBuffers::kSearch);
        m_old.Open(path, CZipContainer::ArcOpenReadOnly, 0);
    } catch (const std::exception& e) {
        m_parts.report.WriteException(e);
        Prompt().MessageBox(e.what(), MB_OK | MB_ICONERROR);
        return false;
    }
    // The parts of a split backup are read one disk or file at a time; entries
    // cannot be copied out of them. Say so and leave the parts as they are.
    if (m_old.GetStorage().IsSpanMode() != 0) {
        const std::string text = "The backup file " + path +
                                 " is split into parts and cannot be updated; make a new backup";
        m_parts.report.WriteLine(text);
        Prompt().MessageBox(text, MB_OK | MB_ICONERROR);
        CloseSources();
        return false;
    }
    if (!CheckOldPassword(path))
        return false;
    m_hasOld = true;
    m_matched.assign(m_old.GetCount(), 0);
    return true;
}

// Stored entries are copied as they are: the job's password must be the one they
// were encrypted with, or the new backup would mix two passwords, one of them no
// longer known. Checked before the new archive exists, so a refusal writes nothing.
bool CUpdateRun::CheckOldPassword(const std::string& path)
{
    if (!ApplyPassword(m_old))
        return false;
    int checked = 0;
    for (std::size_t i = 0; i < m_old.GetCount() && checked < kPasswordChecks; ++i) {
        CZipEntryHeader header;
        if (!m_old.GetFileInfo(header, static_cast<int>(i)) || !header.IsEncrypted())
            continue;
        try {
            if (!m_old.OpenFile(static_cast<int>(i)))
                continue;
            m_old.CloseFile({}, true);
            ++checked;
        } catch (const CZipException& e) {
            // A damaged entry proves nothing about the password; copying it reports it.
            if (e.GetCause() == CZipException::ErrBadPassword) {
                RefuseOldPassword(path);
                return false;
            }
        }
    }
    return true;
}

void CUpdateRun::RefuseOldPassword(const std::string& path)
{
    const std::string why = g_ProjectData.GetPassword().empty()
                                ? " is encrypted and the job has no password"
                                : " is encrypted with another password than the job's";
    const std::string text = std::string(result::GetName(result::kBadPassword)) +
                             ": the backup file " + path + why +
                             ". Nothing was written; the previous backup is unchanged.";
    m_parts.report.WriteLine(text);
    Prompt().MessageBox(text, MB_OK | MB_ICONERROR);
}

// The earlier run wrote its catalogue before it read a single file: a file whose
// stored time lies a step or more before that was read after its last change.
std::time_t CUpdateRun::RacyFrom()
{
    const int index = m_old.FindFile(kMainCatalogue);
    CZipEntryHeader catalogue;
    if (index < 0 || !m_old.GetFileInfo(catalogue, index))
        return std::numeric_limits<std::time_t>::min();
    return catalogue.GetTime() - kTimeStep;
}

void CUpdateRun::Decide()
{
    m_plans.clear();
    m_plans.reserve(m_parts.files.GetSize());
    const CUpdateRule rule(m_hasOld ? RacyFrom() : 0,
                           [this](const CZipEntryHeader& stored, std::uint32_t& crc) {
                               return StoredCrcOf(stored, crc);
                           });
    for (const CAddInfo* item : m_parts.files)
        m_plans.push_back(DecideOne(*item, rule));
}

// An entry that keeps no CRC (AES in the AE-2 form) is read, which also checks its
// authentication code; one that cannot be read counts as changed.
bool CUpdateRun::StoredCrcOf(const CZipEntryHeader& stored, std::uint32_t& crc)
{
    try {
        return m_old.GetDataCrc(m_old.FindFile(stored.m_fileName, 1), crc);
    } catch (const CZipException&) {
        return false;
    }
}

CUpdateRun::Plan CUpdateRun::DecideOne(const CAddInfo& item, const CUpdateRule& rule)
{
    Plan plan;
    plan.name = StoredNameOf(item);
    if (!m_hasOld)
        return plan;
    plan.index = m_old.FindFile(plan.name);
    if (plan.index < 0 || m_matched[static_cast<std::size_t>(plan.index)]) {
        plan.index = -1;
        return plan;
    }
    m_matched[static_cast<std::size_t>(plan.index)] = 1;
    CZipEntryHeader stored;
    m_old.GetFileInfo(stored, plan.index);
    // The catalogue files are written anew before every run: only their contents
    // say whether they changed.
    if (item.m_strEntryName.empty()) {
        plan.action = rule.SameContent(item.m_strSourcePath, stored) ? kLeave : kReplace;
        return plan;
    }
    switch (rule.Check(item.m_strSourcePath, stored)) {
    case CUpdateRule::kSame:
        plan.action = kLeave;
        break;
    case CUpdateRule::kSameNewMetadata:
        plan.action = kRefresh;
        break;
    default:
        plan.action = kReplace;
        break;
    }
    return plan;
}

std::size_t CUpdateRun::CountUnmatched() const
{
    std::size_t count = 0;
    for (const std::uint8_t matched : m_matched)
        count += matched ? 0 : 1;
    return count;
}

// Nothing to write: every file is stored as it is, the synchronise run has no
// entry to leave out, and the catalogue differs at most in its date.
bool CUpdateRun::IsUpToDate() const
{
    if (!m_hasOld || (m_synchronise && CountUnmatched() > 0))
        return false;
    for (std::size_t i = 0; i < m_plans.size(); ++i) {
        const CAddInfo& item = *m_parts.files[i];
        const bool dateOnly = item.m_strEntryName.empty() && m_plans[i].name == kMainCatalogue &&
                              m_plans[i].action == kReplace;
        if (m_plans[i].action != kLeave && !dateOnly)
            return false;
    }
    return true;
}

void CUpdateRun::ReportUpToDate()
{
    PostEvent(notify::kFileCount, static_cast<std::intptr_t>(m_parts.files.GetSize()));
    std::uint32_t number = 0;
    for (const CAddInfo* item : m_parts.files) {
        PostFileEvents(*item, ++number);
        PostEvent(notify::kUnchangedCount, ++m_counts[kLeave]);
        m_parts.progress.Advance(item->m_dwSize);
    }
    LogCounts(0);
    m_parts.report.WriteLine("Nothing has changed since the last backup: the backup file is "
                             "left as it was.");
}

std::uint64_t CUpdateRun::EstimateNeeded() const
{
    // Nearly all of the old archive is copied into the new one.
    std::uint64_t size = 0;
    if (!m_hasOld || !ZipPlatform::GetFileSize(g_ProjectData.GetOutputPath(), size))
        return 0;
    return size;
}

bool CUpdateRun::ProcessFiles()
{
    PostEvent(notify::kFileCount, static_cast<std::intptr_t>(m_parts.files.GetSize()));
    std::vector<const CAddInfo*> added;
    for (std::size_t i = 0; i < m_parts.files.GetSize(); ++i)
        if (m_plans[i].action == kAddNew || m_plans[i].action == kReplace)
            added.push_back(m_parts.files[i]);
    StartPipeline(added);
    for (std::size_t i = 0; i < m_parts.files.GetSize(); ++i) {
        const CAddInfo& item = *m_parts.files[i];
        PostFileEvents(item, static_cast<std::uint32_t>(i + 1));
        bool stop = false;
        m_parts.progress.m_processed = 0;
        const Plan& plan = m_plans[i];
        const bool clean = WriteOne(item, plan, stop);
        const Action counted = plan.action == kRefresh ? kLeave : plan.action;
        if (clean)
            PostEvent(counted, ++m_counts[counted]);
        if (!ReportRemaining(item, clean, stop))
            return false;
    }
    return FinishEntries();
}

bool CUpdateRun::WriteOne(const CAddInfo& item, const Plan& plan, bool& stop)
{
    if (IsInNewArchive(plan.name))
        return true; // listed twice: stored once
    if (plan.action == kLeave || plan.action == kRefresh) {
        const bool kept = KeepEntry(plan.index, &item, plan.action == kRefresh);
        stop = TargetFailed();
        return kept;
    }
    if (AddOne(item, stop))
        return true;
    // A changed file that could not be read again: the backup keeps what it had.
    if (plan.action == kReplace && !stop && KeepEntry(plan.index, &item, false))
        m_parts.report.WriteLine("The backup keeps the earlier copy of " + item.m_strSourcePath);
    stop = stop || TargetFailed();
    return false;
}

bool CUpdateRun::IsInNewArchive(const std::string& name)
{
    return m_parts.archive.FindFile(name) >= 0;
}

// Copies stored entry `index` as it is; with `refresh`, the copy takes the time and
// mode of `item`'s file. `item` (null for an entry no file stands for) names it.
bool CUpdateRun::KeepEntry(int index, const CAddInfo* item, bool refresh)
{
    CZipEntryHeader stored;
    m_old.GetFileInfo(stored, index);
    CZipContainer::EntryRefresh metadata;
    const CZipContainer::EntryRefresh* use = nullptr;
    if (refresh && item &&
        ZipPlatform::GetLinkStatus(item->m_strSourcePath, metadata.attributes, metadata.modified)) {
        if (stored.GetSystem() != ZipAttributes::PlatformSystem)
            metadata.attributes = stored.m_externalAttr; // another system's attributes stay
        use = &metadata;
    }
    try {
        if (m_parts.archive.GetFromArchive(m_old, index, true, -1, nullptr, use))
            return true;
        m_parts.report.WriteLine("Fail to copy an entry of the previous backup: " +
                                 stored.m_fileName);
    } catch (const CZipException& e) {
        try {
            m_parts.archive.CloseNewFile(true);
        } catch (const std::exception&) {
            // The entry is dropped either way.
        }
        m_parts.report.WriteException(e);
        if (e.GetFileName() != m_old.GetArchivePath())
            MarkTargetFailed();
    }
    CountFailure(item ? item->m_strSourcePath : stored.m_fileName);
    return false;
}

// After the files: the update run keeps the stored entries no file stands for; the
// synchronise run counts them and leaves them out.
bool CUpdateRun::FinishEntries()
{
    const std::size_t unmatched = CountUnmatched();
    LogCounts(m_synchronise ? unmatched : 0);
    if (m_synchronise || unmatched == 0)
        return true;
    for (std::size_t i = 0; i < m_matched.size(); ++i) {
        if (m_matched[i])
            continue;
        CZipEntryHeader stored;
        m_old.GetFileInfo(stored, static_cast<int>(i));
        if (!IsInNewArchive(stored.m_fileName))
            KeepEntry(static_cast<int>(i), nullptr, false);
        if (TargetFailed() || StopRequested())
            return false;
    }
    return true;
}

void CUpdateRun::LogCounts(std::size_t obsolete)
{
    LogResource(kTextAdded, std::to_string(m_counts[kAddNew]));
    LogResource(kTextReplaced, std::to_string(m_counts[kReplace]));
    LogResource(kTextUnchanged, std::to_string(m_counts[kLeave]));
    if (!m_synchronise)
        return;
    LogResource(kTextObsolete, std::to_string(obsolete));
    PostEvent(notify::kObsoleteCount, static_cast<std::intptr_t>(obsolete));
    if (obsolete > 0) {
        m_parts.report.WriteLine("");
        LogResource(kTextDeleting);
    }
}

void CUpdateRun::CloseSources()
{
    try {
        m_old.Close(CZipContainer::CloseAfterException, false);
    } catch (const std::exception&) {
        // Read only: there is nothing to lose.
    }
}
