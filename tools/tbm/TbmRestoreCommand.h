#pragma once

#include <string>

class CBackupManger;
class CMyFilesData;
class CTbmOptions;
class CTbmRestoreProgress;

// tbm restore: runs the engine's restore as the restore wizard does (open the backup
// with its password, read the catalogue, rebuild the My Files tree, check what is
// to come back, choose where it goes, run the restore thread) and tells where the
// report is. The user's preference for files already in place is changed for this
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
    int LoadMyFiles(CBackupManger& engine, CMyFilesData& myFiles);
    int Choose(CMyFilesData& myFiles);
    int Start(CBackupManger& engine, CTbmRestoreProgress& progress);
    int Finish(CBackupManger& engine, CTbmRestoreProgress& progress);

    const CTbmOptions& m_options;
    std::string m_strWorkFolder;
    int m_nSavedExisting = 0;
};
