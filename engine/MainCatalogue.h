#pragma once

#include "AutoObArray.h"
#include "BackupTreeItem.h"

#include <string>

class CDataSource;
class CProjectData;

// The engine's own catalogue at the archive root: "maindata.ini" (job name,
// description, creation date and time, section "Main") and "treeobj.tdat" (the
// catalogue items, one per source collected, in collection order).
class CMainCatalogue
{
public:
    static constexpr const char* kMainDataName = "maindata.ini";
    static constexpr const char* kTreeObjName = "treeobj.tdat";

    // Writes "maindata.ini" afresh; false when it was not written.
    static bool WriteMainData(const std::string& path, const CProjectData& job);
    // Writes "treeobj.tdat"; false (and a status-log line) when it was not written.
    static bool WriteTreeObj(const std::string& path, const CAutoObArray<CBackupTreeItem>& items);

    // Before a backup: writes both files into the work folder and adds each to the
    // engine's item list through its Add file. 1 when both were added, else 0.
    static int Write(CDataSource& engine, CProjectData& job,
                     const CAutoObArray<CBackupTreeItem>& items);

    // After the catalogue was extracted into the work folder: the root text of the
    // restore tree ("ProjectName") and the catalogue items. 1, or 0 when
    // "treeobj.tdat" is missing (logged) or damaged (shown to the user, and kept in
    // `error`); the list is empty then.
    static int Read(const std::string& workFolder, std::string& rootText,
                    CAutoObArray<CBackupTreeItem>& items, std::string& error);
};
