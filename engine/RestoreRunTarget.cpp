// The restore run's entries: what to do with a file already in place, the extraction
// and the registry import after it.
#include "RestoreRun.h"

#include "AddInfo.h"
#include "ArchiveOpenSettings.h"
#include "HtmlReport.h"
#include "ItemKinds.h"
#include "ZipContainer.h"

#include "Preferences.h"
#include "UniqueNames.h"
#include "WriteLog.h"
#include "ZipException.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

namespace {

constexpr unsigned kTextIdentityFileRenamed = 241;

bool Exists(const std::string& path, struct stat& st)
{
    // A link counts as the thing in place: it is renamed or kept, never followed.
    return lstat(path.c_str(), &st) == 0;
}

std::string Normal(const std::string& path)
{
    return std::filesystem::path(path).lexically_normal().string();
}

// Where the archive extracts an entry: below the chosen folder by the target's path
// relative to it, so that no link inside the chosen folder is followed on the way
// (the archive opens every part below its folder without following links); without
// one, into the target folder itself.
struct ExtractPlace
{
    std::string folder;
    std::string name;
    bool fullPath = false;
};

ExtractPlace PlaceOf(const CAddInfo& entry)
{
    std::string root = Normal(entry.m_strTargetRoot);
    while (root.size() > 1 && root.back() == '/')
        root.pop_back();
    const std::string target = Normal(entry.m_strTargetPath);
    const std::string prefix = root == "/" ? root : root + "/";
    if (root.empty() || target.size() <= prefix.size() ||
        target.compare(0, prefix.size(), prefix) != 0)
        return {entry.m_strSourcePath, entry.m_strNewName, false};
    return {root, target.substr(prefix.size()), true};
}

} // namespace

// Extracts a file entry whose target was prepared; runs on any thread of the
// restore, with that thread's archive object.
bool CRestoreRun::ExtractEntry(CZipContainer& archive, const CAddInfo& entry)
{
    const ExtractPlace place = PlaceOf(entry);
    return archive.ExtractFile(entry.m_nArchiveIndex, place.folder, place.fullPath, place.name,
                               ArchiveBuffers::kGeneral);
}

// What came of extracting a file entry: counted, reported, and handed on; false when
// it was not restored. `stop` is set when the restore must stop here.
bool CRestoreRun::FinishEntry(const CAddInfo& entry, const CZipEntryWorkers::Result& result,
                              const std::string& backupGuid, const std::string& targetGuid,
                              bool& stop)
{
    if (result.error) {
        try {
            std::rethrow_exception(result.error);
        } catch (const CZipException& e) {
            const int cause = e.GetCause();
            if (cause == CZipException::ErrAbortedSafely) {
                stop = true;
            } else {
                m_failedEntry = true;
                if (cause == CZipException::ErrDiskChangeAborted)
                    stop = true;
            }
            if (cause != CZipException::ErrAbortedSafely && cause != CZipException::ErrAborted) {
                m_report.WriteFormatted("Fail to extract file %s", entry.m_strTargetPath.c_str());
                m_report.WriteException(e);
                ++m_parts.failures;
            }
        } catch (const std::exception& e) {
            m_failedEntry = true;
            m_report.WriteFormatted("Fail to extract file %s", entry.m_strTargetPath.c_str());
            m_report.WriteException(e);
            ++m_parts.failures;
        }
        return false;
    }
    if (!result.ok) {
        m_report.WriteFormatted("Fail to extract file %s", entry.m_strTargetPath.c_str());
        ++m_parts.failures;
        return false;
    }
    ++m_parts.restored;
    m_report.WriteFormatted("Restored file %s", entry.m_strTargetPath.c_str());
    PostExtract(entry.m_strTargetPath, entry.m_dwKind, backupGuid, targetGuid);
    return true;
}

// A folder entry: the folder is made (or found) now and gets its mode and time from
// FinishRestoredFolders. A folder already in place follows the rules for existing
// files, so "keep" leaves its mode and time alone. Folders are no files restored:
// only their failures are counted.
void CRestoreRun::RestoreFolder(const CAddInfo& entry, std::uint32_t kind)
{
    if (!PrepareTarget(entry, kind, true))
        return;
    const ExtractPlace place = PlaceOf(entry);
    try {
        if (m_parts.archive.ExtractFile(entry.m_nArchiveIndex, place.folder, place.fullPath,
                                        place.name, ArchiveBuffers::kGeneral))
            return;
        m_report.WriteFormatted("Fail to restore folder %s", entry.m_strTargetPath.c_str());
    } catch (const CZipException& e) {
        m_report.WriteFormatted("Fail to restore folder %s", entry.m_strTargetPath.c_str());
        m_report.WriteException(e);
    }
    ++m_parts.failures;
}

bool CRestoreRun::RenameAside(const std::string& path, const std::string& newPath)
{
    if (!newPath.empty() && newPath != path && std::rename(path.c_str(), newPath.c_str()) == 0) {
        m_report.WriteFormatted("Rename file %s to file %s", path.c_str(), newPath.c_str());
        return true;
    }
    m_report.WriteFormatted("Fail to rename file : %s to file %s", path.c_str(), newPath.c_str());
    m_report.WriteFormatted("Skip restoring file %s: the file in place is kept", path.c_str());
    return false;
}

// True when the stored copy is at least as new as the file in place. Stored times
// have a resolution of 2 seconds, so both sides are compared at it: a file restored
// over itself counts as the same age, not as older.
bool CRestoreRun::IsStoredCopyNewer(const std::string& path, int index)
{
    struct stat st
    {
    };
    CZipEntryHeader header;
    if (lstat(path.c_str(), &st) != 0 || !m_parts.archive.GetFileInfo(header, index))
        return false;
    const std::time_t stored = header.GetTime();
    return stored / 2 >= st.st_mtime / 2;
}

// A file in place that stays is named in the report with the reason; a folder in
// place is no file the restore left out.
bool CRestoreRun::KeepInPlace(const std::string& path, bool folder, const char* why)
{
    if (!folder)
        m_report.WriteFormatted("Skip restoring file %s: %s", path.c_str(), why);
    return false;
}

bool CRestoreRun::PrepareTarget(const CAddInfo& entry, std::uint32_t kind, bool folder)
{
    // The checks below look at the target path; the file written must be that one.
    const std::string written = CZipContainer::PredictExtractedName(
        entry.m_strEntryName, entry.m_strSourcePath, false, entry.m_strNewName);
    if (entry.m_strTargetPath.empty() || Normal(written) != Normal(entry.m_strTargetPath)) {
        m_report.WriteFormatted("Fail to restore file %s: it does not belong in folder %s",
                                entry.m_strTargetPath.c_str(), entry.m_strSourcePath.c_str());
        ++m_parts.failures;
        return false;
    }
    const std::string& path = entry.m_strTargetPath;
    struct stat st
    {
    };
    if (!Exists(path, st))
        return true;
    switch (kind) {
    case itemkind::kOutlook:
        return g_Preferences.m_nR_O2_Rename == 0 ||
               RenameAside(path, tbm::MakeNumberedFileName(path));
    case itemkind::kOEIdentity:
        // The file in place is kept under a new name; when it cannot be, it stays
        // and the stored copy is not written over it.
        LogResource(kTextIdentityFileRenamed);
        return RenameAside(path, tbm::MakeNumberedFileName(path));
    case itemkind::kMyFiles:
        if (g_Preferences.m_nResFileType == 0)
            return KeepInPlace(path, folder, "the file in place is kept");
        if (g_Preferences.m_nResFileType == 1)
            return IsStoredCopyNewer(path, entry.m_nArchiveIndex) ||
                   KeepInPlace(path, folder, "the file in place is newer");
        return true;
    case itemkind::kFavorites:
        return true;
    case itemkind::kAddressBook:
        return g_Preferences.m_nR_Wab_Save == 0 || RenameAside(path, tbm::MakeUniqueFileName(path));
    default:
        return KeepInPlace(path, folder, "the file in place is kept");
    }
}

namespace {

// Registry exports belong to the mail sources: Outlook's to its section, the
// identity's to the identity's. An export any other section holds came from a
// crafted catalogue and is never imported.
bool SectionOwnsExport(std::uint32_t section, std::uint32_t kind)
{
    using namespace itemkind;
    if (section == kOutlook)
        return kind == kOLRegAccounts || kind == kOLRegOptions || kind == kOLRegCategories;
    if (section == kOEIdentity)
        return kind == kOEAccounts || (kind >= kOERules && kind <= kOEIdentityAccounts);
    return false;
}

} // namespace

void CRestoreRun::PostExtract(const std::string& path, std::uint32_t kind,
                              const std::string& backupGuid, const std::string& targetGuid)
{
    if (!itemkind::IsRegistryExport(kind))
        return;
    if (!SectionOwnsExport(m_sectionKind, kind)) {
        m_report.WriteFormatted("Fail to import registry file %s: this part of the backup holds "
                                "no registry data of its kind",
                                path.c_str());
        ++m_parts.failures;
        return;
    }
    if (!m_parts.registryImport) {
        WriteLog("Fail to import registry file %s: no registry import installed", path.c_str());
        m_report.WriteFormatted("Fail to import registry file %s", path.c_str());
        return;
    }
    // The file is in place but its settings are not: the restore did not succeed.
    if (!m_parts.registryImport(path, kind, backupGuid, targetGuid)) {
        m_report.WriteFormatted("Fail to import registry file %s", path.c_str());
        ++m_parts.failures;
    }
}
