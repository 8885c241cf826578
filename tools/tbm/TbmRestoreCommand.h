#pragma once

#include <cstdint>
#include <string>

class CBackupManger;
class CCheckTreeModel;
struct InstalledSources;
class CMyFilesData;
class CTbmOptions;
class CTbmRestoreProgress;

// tbm restore: runs the engine's restore as the restore wizard does (open the backup
// with its password, read the catalogue, have every source load its part, check the
// sections (all, or those --source names) and what is to come back, choose where My
// Files go, run the restore thread) and tells where the report is. The user's preference for files already in place is changed for this
// run only; the work folder is ours alone and goes at the end.
class CTbmRestoreCommand
{
public:
    explicit CTbmRestoreCommand(const CTbmOptions& options);
    ~CTbmRestoreCommand();
    CTbmRestoreCommand(const CTbmRestoreCommand&) = delete;
    CTbmRestoreCommand& operator=(const CTbmRestoreCommand&) = delete;

    int Run();

private:
    int Open(CBackupManger& engine);
    int LoadSources(CBackupManger& engine);
    bool Restores(std::uint32_t kind) const;
    int ChooseSections(CBackupManger& engine, CCheckTreeModel& tree,
                       const InstalledSources& sources);
    int Choose(CMyFilesData& myFiles);
    int Start(CBackupManger& engine, CTbmRestoreProgress& progress);
    int Finish(CBackupManger& engine, CTbmRestoreProgress& progress);

    const CTbmOptions& m_options;
    std::string m_strWorkFolder;
    int m_nSavedExisting = 0;
    bool m_bMyFiles = true;
};
