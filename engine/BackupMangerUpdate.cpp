// The update and synchronise runs: add what is new, replace what changed, leave the
// rest; the synchronise run then deletes the entries whose files are gone.
#include "BackupManger.h"

#include "Notify.h"
#include "ProjectData.h"
#include "Prompt.h"
#include "ZipException.h"
#include "ZipPlatform.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <array>

namespace {

constexpr unsigned kTextDeleting = 206;
constexpr unsigned kTextAdded = 207;
constexpr unsigned kTextReplaced = 208;
constexpr unsigned kTextObsolete = 209;
constexpr unsigned kTextUnchanged = 210;

enum UpdateAction
{
    kAddNew = notify::kAddedCount,
    kReplace = notify::kReplacedCount,
    kLeave = notify::kUnchangedCount
};

// The name the archive stores a path under when no entry name is given: its last
// part, trailing separators dropped.
std::string StoredNameOf(const CAddInfo& item)
{
    std::string name = item.m_strEntryName;
    if (name.empty()) {
        std::string path = item.m_strSourcePath;
        while (!path.empty() && (path.back() == '/' || path.back() == '\\'))
            path.pop_back();
        const std::size_t slash = path.find_last_of("/\\");
        name = slash == std::string::npos ? path : path.substr(slash + 1);
    }
    for (char& c : name)
        if (c == '/')
            c = '\\';
    return name;
}

// A DOS date and time as one number that orders like the moment it stands for.
std::uint32_t DosStamp(const CZipEntryHeader& header)
{
    return (static_cast<std::uint32_t>(header.m_modDate) << 16) | header.m_modTime;
}

// CRC-32 of a whole file; false when it cannot be read to the end.
bool FileCrc(const std::string& path, std::uint32_t& crc)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return false;
    uLong value = crc32(0L, Z_NULL, 0);
    std::array<unsigned char, 65536> buffer{};
    ssize_t got = 0;
    while ((got = read(fd, buffer.data(), buffer.size())) > 0)
        value = crc32(value, buffer.data(), static_cast<uInt>(got));
    close(fd);
    crc = static_cast<std::uint32_t>(value);
    return got == 0;
}

// True unless `path` is a regular file with the stored entry's size and CRC.
bool DiffersFromEntry(const std::string& path, const CZipEntryHeader& stored)
{
    struct stat st
    {
    };
    if (stored.IsDirectory() || lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::uint64_t>(st.st_size) != stored.m_uncompressedSize)
        return true;
    std::uint32_t crc = 0;
    return !FileCrc(path, crc) || crc != stored.m_crc;
}

} // namespace

bool CBackupManger::OpenForUpdate()
{
    const std::string& path = g_ProjectData.GetOutputPath();
    struct stat st
    {
    };
    if (stat(path.c_str(), &st) == 0)
        m_Settings.m_nOpenMode = CZipContainer::ArcOpen;
    try {
        m_Archive.SetBuffers(kWriteBuffer, kGeneralBuffer, kSearchBuffer);
        m_Archive.Open(path, m_Settings.m_nOpenMode, m_Settings.m_nVolumeSize);
    } catch (const std::exception& e) {
        m_Report.WriteException(e);
        Prompt().MessageBox(e.what(), MB_OK | MB_ICONERROR);
        return false;
    }
    // A backup split into parts takes no new entries: every file would fail while
    // the run reported success. Say so and leave the parts as they are.
    if (m_Archive.GetStorage().IsSpanMode() != 0) {
        const std::string text = "The backup file " + path +
                                 " is split into parts and cannot be updated; make a new backup";
        m_Report.WriteLine(text);
        Prompt().MessageBox(text, MB_OK | MB_ICONERROR);
        try {
            m_Archive.Close(CZipContainer::CloseAfterException, false);
        } catch (const std::exception&) {
            // Giving the file up writes nothing; there is nothing more to do.
        }
        return false;
    }
    return true;
}

// The stored entry is newer or as new unless the file's time, cut to the two seconds
// the archive keeps, is later. A file whose time moved on but whose bytes are the
// stored ones (same size and CRC) is not rewritten either.
bool CBackupManger::IsNewerThanEntry(const std::string& path, int index)
{
    std::time_t modified = 0;
    CZipEntryHeader stored;
    if (!ZipPlatform::GetFileModTime(path, modified) || !m_Archive.GetFileInfo(stored, index))
        return false;
    CZipEntryHeader probe;
    probe.SetTime(modified);
    if (DosStamp(probe) <= DosStamp(stored))
        return false;
    return DiffersFromEntry(path, stored);
}

int CBackupManger::DecideUpdate(const CAddInfo& item, int& index)
{
    index = m_Archive.FindFile(StoredNameOf(item));
    if (index < 0)
        return kAddNew;
    // The catalogue files (the items without an entry name) are written anew for
    // every run, often within the two seconds a stored time can tell apart: only
    // their contents say whether they changed.
    if (item.m_strEntryName.empty()) {
        CZipEntryHeader stored;
        m_Archive.GetFileInfo(stored, index);
        return DiffersFromEntry(item.m_strSourcePath, stored) ? kReplace : kLeave;
    }
    return IsNewerThanEntry(item.m_strSourcePath, index) ? kReplace : kLeave;
}

// The keep flags follow the directory: an appended entry is kept, and a replacement
// that failed took its entry out, so its flag goes with it.
void CBackupManger::TrackKeepFlags(bool synchronise, int replaced, std::size_t before)
{
    if (!synchronise)
        return;
    const std::size_t after = m_Archive.GetCount();
    if (after > before)
        m_KeepFlags.insert(m_KeepFlags.end(), after - before, 1);
    else if (after < before && replaced >= 0 &&
             static_cast<std::size_t>(replaced) < m_KeepFlags.size())
        m_KeepFlags.erase(m_KeepFlags.begin() + replaced);
}

void CBackupManger::UpdateRun(bool synchronise)
{
    const std::uint64_t sum = StartRun();
    m_Progress.Begin(sum);
    if (!OpenForUpdate() || !ApplyPassword()) {
        FailRun();
        return;
    }
    if (synchronise)
        m_KeepFlags.assign(m_Archive.GetCount(), 0);
    PostEvent(notify::kFileCount, static_cast<std::intptr_t>(m_RunList.GetSize()));
    std::array<std::intptr_t, 4> counts{};
    bool stopped = false;
    std::uint32_t number = 0;
    for (const CAddInfo* item : m_RunList) {
        PostFileEvents(*item, ++number);
        int index = -1;
        const int action = DecideUpdate(*item, index);
        if (synchronise && index >= 0 && static_cast<std::size_t>(index) < m_KeepFlags.size())
            m_KeepFlags[static_cast<std::size_t>(index)] = 1;
        bool stop = false;
        bool clean = true;
        m_Progress.m_processed = 0;
        if (action != kLeave) {
            const std::size_t before = m_Archive.GetCount();
            clean = AddOne(*item, action == kReplace ? index : -1, stop);
            TrackKeepFlags(synchronise, action == kReplace ? index : -1, before);
        }
        if (clean)
            PostEvent(action, ++counts[static_cast<std::size_t>(action)]);
        if (!ReportRemaining(*item, clean, stop)) {
            stopped = true;
            break;
        }
    }
    if (!stopped) {
        LogResource(kTextAdded, std::to_string(counts[kAddNew]));
        LogResource(kTextReplaced, std::to_string(counts[kReplace]));
        LogResource(kTextUnchanged, std::to_string(counts[kLeave]));
        if (synchronise && m_Archive.GetCount() > 0)
            stopped = !DeleteObsolete();
    }
    FinishRun(stopped);
}

// False when the run was cancelled before the deletion began (nothing is deleted).
bool CBackupManger::DeleteObsolete()
{
    std::vector<int> obsolete;
    const std::size_t count = std::min(m_KeepFlags.size(), m_Archive.GetCount());
    for (std::size_t i = 0; i < count; ++i)
        if (m_KeepFlags[i] == 0)
            obsolete.push_back(static_cast<int>(i));
    LogResource(kTextObsolete, std::to_string(obsolete.size()));
    PostEvent(notify::kObsoleteCount, static_cast<std::intptr_t>(obsolete.size()));
    if (obsolete.empty())
        return true;
    m_Report.WriteLine("");
    LogResource(kTextDeleting);
    m_Progress.m_RunningEvent.Set();
    if (!BeginStage(0))
        return false;
    try {
        m_Archive.DeleteFiles(obsolete);
    } catch (const std::exception& e) {
        m_Report.WriteException(e);
    }
    return true;
}
