#pragma once

#include "BackupMangerSource.h"

#include <string>

// What the address book, favorites, fonts and applications share: files taken whole
// under a fixed archive folder, a catalogue of their own, and a restore that puts
// each stored file back below the folder the source owns on this machine, refusing
// names that would lead anywhere else.
class CStoredFilesSource : public CBackupMangerSource
{
public:
    using CBackupMangerSource::CBackupMangerSource;

protected:
    // Checks the file (the engine's Skip/Retry/Cancel loop) and appends an entry
    // under `entryName`, of `kind` (plain files: 0), with the size the check read.
    // 0, 8 or 7.
    int AddStoredFile(const std::string& path, const std::string& entryName,
                      const struct stat* known = nullptr, std::uint32_t kind = 0);
    // Writes the item list as the source's catalogue: 0 with its name, or 6 when it
    // cannot be written (the status log says why).
    int FinishCollect(std::string& catalogueName);
    // Restore: the source's catalogue from the backup into the item list; 0, the
    // extraction's code, or 10 when it cannot be read.
    int ReadStoredCatalogue(const CatalogueExtract& extract);
    // Plans the stored entry below `root` by the components of its name below
    // `archiveFolder`; a name that does not fit is refused with a report line.
    // True when planned.
    bool PlanBelow(const CAddInfo& stored, const std::string& archiveFolder,
                   const std::string& root);
    // The report line for a stored entry that is not restored.
    void RefuseStored(const CAddInfo& stored, const char* why) const;
};
