#pragma once

#include "AutoObArray.h"
#include "JobRun.h"
#include "ZipEntryWorkers.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CAddInfo;
class CBackupMangerSource;
class CRestoreIdentity;

// What a restore run works with. The engine owns all of it and planned the sections
// before the run started; nothing else touches it while the run goes.
struct RestoreRunParts
{
    // Imports a restored registry export (path, kind, backup GUID, target GUID).
    using RegistryImportHook =
        std::function<bool(const std::string& path, std::uint32_t kind,
                           const std::string& backupGuid, const std::string& targetGuid)>;

    CHtmlReport& report;
    CBackupProgress& progress;
    CZipContainer& archive; // the backup, open read-only
    // The planned sections in order, and the catalogue names of the identity sections
    // among them in their order.
    const std::vector<std::uint16_t>& kinds;
    const std::vector<std::string>& identities;
    // The source of a section that is no identity, and an identity by its catalogue
    // name; null when there is none, which gives a section without entries.
    std::function<CBackupMangerSource*(std::uint32_t kind)> sourceOf;
    std::function<CRestoreIdentity*(const std::string& catalogueName)> identityOf;
    // Takes over every section's plan: the paths posted with code 5 point into it, so
    // it must outlive the run.
    CAutoObArray<CAddInfo>& runList;
    const RegistryImportHook& registryImport; // may be empty
    // Closes the archive; after an entry failed with an error its directory is still
    // written.
    std::function<void(bool afterFailedEntry)> closeArchive;
    // Counted up as the run goes; the engine reports them once it has ended.
    std::uint32_t& failures;
    std::uint32_t& restored;
};

// The restore run, on the worker thread: section by section, the source's plan is
// taken into the run list and its entries are prepared in order on this thread
// (targets, the rules for files already in place, questions), extracted on the job's
// "Threads" through CZipEntryWorkers (each thread with an archive object of its own)
// and finished in order (counts, report lines, the registry import). Once the user
// stops, no further target is touched. Posts codes 7, 4, 5, 8 and, when not stopped,
// 6 (RestoreNotify.h); the archive is closed and the restore report saved either way.
class CRestoreRun : public CJobRun
{
public:
    explicit CRestoreRun(RestoreRunParts parts);

    void Run();

private:
    // RestoreRun.cpp: the sections and their entries.
    bool RestoreSection(std::uint32_t kind, std::size_t& identityIndex);
    void PostRestoreHeading(const std::string& text);
    bool RestoreEntries(std::size_t first, std::size_t last, std::uint32_t kind,
                        const std::string& backupGuid, const std::string& targetGuid);
    bool PrepareEntry(CAddInfo& entry, std::uint32_t kind);
    void FinishRestoredFolders();

    // RestoreRunTarget.cpp: one entry's target, extraction and what follows it.
    static bool ExtractEntry(CZipContainer& archive, const CAddInfo& entry);
    bool FinishEntry(const CAddInfo& entry, const CZipEntryWorkers::Result& result,
                     const std::string& backupGuid, const std::string& targetGuid, bool& stop);
    void RestoreFolder(const CAddInfo& entry, std::uint32_t kind);
    // `folder`: the entry is a folder, whose staying in place is not reported.
    bool PrepareTarget(const CAddInfo& entry, std::uint32_t kind, bool folder = false);
    bool KeepInPlace(const std::string& path, bool folder, const char* why);
    bool RenameAside(const std::string& path, const std::string& newPath);
    bool IsStoredCopyNewer(const std::string& path, int index);
    void PostExtract(const std::string& path, std::uint32_t kind, const std::string& backupGuid,
                     const std::string& targetGuid);

    RestoreRunParts m_parts;
    // An entry failed with an error other than an abort: the close writes the
    // directory all the same.
    bool m_failedEntry = false;
    // The kind of the section being restored: it decides which registry exports
    // among its entries may be imported.
    std::uint32_t m_sectionKind = 0;
};
