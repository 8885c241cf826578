#pragma once

#include "BackupMangerSource.h"
#include "FolderTree.h"
#include "MyFilesExclusions.h"
#include "MyFilesRestoreTarget.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

class CCheckTreeModel;
class CProjectData;

// My Files: the files and folders the user picked in the folder tree of the file
// system (CFolderTree). Backup side: turns the checked folders and files into entries
// (kind 4) with their entry names and tree paths and writes "MyFiles.tdat"; keeps the
// selection as "Shell.xsel" in the job's folder. Restore side: rebuilds a tree of the
// stored paths and plans where each checked file goes.
//
// Walking never follows symbolic links (no cycles, nothing outside the selection): a
// link is stored as a link entry. FIFOs, sockets and devices are passed over with a
// report line (reading a FIFO would block), and the backup's own output file, its
// volumes and the work folder are left out even when they lie inside the selection.
class CMyFilesData : public CBackupMangerSource
{
public:
    static constexpr const char* kCatalogueName = "MyFiles.tdat";
    static constexpr const char* kSelectionName = "Shell.xsel";
    static constexpr std::uint32_t kKind = 4;

    CMyFilesData();
    ~CMyFilesData() override;

    // The tree shown to the user (not owned); null gives the source a tree of its own.
    void SetTree(CCheckTreeModel* tree);
    CCheckTreeModel& GetTree() { return *m_pTree; }
    CFolderTree& GetFolderTree() { return *m_pFolders; }

    // Forgets the roots found present and the replaced ones of the last restore.
    void Reset() override;

    // The command line's way in: checks these paths in the tree (folders whole, files
    // one by one), opening their parents as needed, so that the selection saves as
    // "Shell.xsel". Paths that do not exist are kept aside and asked about (Skip,
    // Retry, Cancel) when collecting.
    void SetSelection(std::vector<std::string> paths);
    // "Shell.xsel" of the job's folder; Collect loads it itself when no selection was
    // set or loaded before.
    void SaveSelection() override;
    bool LoadSelection();

    int Collect(std::string& catalogueName) override;

    // Restore: reads the catalogue and rebuilds the tree of its stored paths below
    // `parent` (null: the top level). 0, or 10 when the catalogue cannot be read. The
    // callback variant first has the catalogue extracted ("MyFiles.tdat" into a path
    // it returns) and returns the extraction's code when that fails.
    int LoadForRestore(TvTreeItem parent, const std::string& cataloguePath);
    int LoadForRestore(TvTreeItem parent, const std::function<int(std::string& path)>& extract);
    // The engine's way in: the whole catalogue at the top level of the tree.
    int LoadForRestore(const CatalogueExtract& extract) override;
    // Plans every checked file, and every stored folder that is checked or holds
    // something checked (ahead of its contents; none in a flat restore): target
    // folder in m_strSourcePath, target path, entry name, directory flag, size, kind 4. The plan is the restore plan, and the item
    // list holds a copy of it for the engine to take over. 0, or 7 on Cancel.
    int PlanRestore() override;
    // The restore location (0 original place, 1 chosen folder with structure, 2 flat).
    void SetRestoreLocation(int type, const std::string& folder)
    {
        m_Target.SetLocation(type, folder);
    }
    CMyFilesRestoreTarget& GetRestoreTarget() { return m_Target; }

    // "C:\Docs\a.txt" -> "C\Docs\a.txt", "\\server\share\a.txt" -> "server\share\a.txt",
    // "/home/u/a.txt" -> "home\u\a.txt"; "/" is read as "\"; "." and empty components
    // are dropped and ".." never leaves the root, so a name cannot climb out of the
    // folder it is restored into.
    static std::string GetEntryName(const std::string& path);
    // The full path with "\" separators, without leading and trailing ones.
    static std::string GetTreePath(const std::string& path);
    // The job's file-type filter: true when the file named `name` is to be backed up.
    static bool PassesFilter(const std::string& name, const CProjectData& job);
    // "*" + the extension with its dot, in lower case ("*.doc"); empty without one.
    static std::string GetFilterKey(const std::string& name);

private:
    enum class EntryType
    {
        File,
        Folder,
        Link,
    };

    int CollectItem(TvTreeItem item, const CFolderTreeNode& node);
    int CollectNewEntries(TvTreeItem item);
    bool IsChosenFolder(TvTreeItem item, const CFolderTreeNode& node) const;
    bool IsExcludedFolderPath(const std::string& path) const;
    int CollectPath(const std::string& path);
    int WalkFolder(const std::string& folder);
    // `known`: the status the walk has just read (lstat), or null.
    int AddMyFile(const std::string& path, EntryType type, const struct stat* known = nullptr);
    void SelectPath(const std::string& path);
    void RemoveBackupItems();
    void RemoveRestoreItems();
    void AddStoredEntry(TvTreeItem parent, CAddInfo& stored);
    int PlanStoredEntry(const CAddInfo& stored);
    TvTreeItem GetTopRestoreFolder();

    std::unique_ptr<CCheckTreeModel> m_pOwnTree;
    CCheckTreeModel* m_pTree = nullptr;
    std::unique_ptr<CFolderTree> m_pFolders;
    std::vector<std::string> m_Missing;
    bool m_bSelectionReady = false;
    CMyFilesExclusions m_Exclusions;
    // Entry names collected so far: no entry is stored twice.
    std::set<std::string> m_EntryNames;
    // Restore: the catalogue's entries (file records point at them) and the items
    // made for them directly below the parent.
    std::vector<std::unique_ptr<CAddInfo>> m_Stored;
    std::vector<TvTreeItem> m_RestoreItems;
    CMyFilesRestoreTarget m_Target;
};
