#pragma once

#include "FolderTreeNode.h"
#include "TvTreeItem.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class CCheckTreeModel;

// The My Files tree of the file system over a selection tree model (not owned): a
// folder item per folder, opened lazily, with the folder's files as records of its
// node. The backup tree starts at one root item "/"; the home folder is reached by
// opening the items on its way (ShowHomeFolder). Folders are listed without
// following symbolic links: a link is a file record, never a folder to open, so the
// tree has no cycles.
//
// The nodes belong to this object and are found by item handle; items deleted from
// the model simply have no node any more.
class CFolderTree
{
public:
    static constexpr std::uint32_t kKind = 4;

    explicit CFolderTree(CCheckTreeModel& tree) : m_tree(tree) {}
    CFolderTree(const CFolderTree&) = delete;
    CFolderTree& operator=(const CFolderTree&) = delete;

    CCheckTreeModel& GetTree() const { return m_tree; }

    // Forgets every node (the items stay in the model).
    void Clear() { m_nodes.clear(); }

    // A new folder item below `parent` (null: top level) with a node of its own.
    TvTreeItem AddFolder(TvTreeItem parent, const std::string& text, const std::string& path,
                         bool restore, int state = 1);
    // The backup root "/", made when there is none.
    TvTreeItem GetRootFolder();
    // The node of an item; null for items that are not folders of this tree.
    CFolderTreeNode* GetNode(TvTreeItem item) const;
    // The node of `item`, made when it has none (the item's data is left alone when
    // it already has some). Null for a null or stale item.
    CFolderTreeNode* EnsureNode(TvTreeItem item, const std::string& path, bool restore);

    // Lists a backup folder once: subfolders become child items sorted by name,
    // checked at once when the item is checked (2 or 4); other entries become file
    // records with the item's checked-ness at this moment. False for an item with
    // no backup node; an unreadable folder opens empty.
    bool OpenFolder(TvTreeItem item);
    // The full paths of what appeared in an opened backup folder since it was listed:
    // files without a record and folders without an item. Empty for a folder never
    // opened. Reads the model only, so the collection thread may call it.
    std::vector<std::string> ListNewEntries(TvTreeItem item) const;
    // Brings an opened backup folder up to date with the disk: new folders become
    // items and new files records, checked when the folder is; records of files that
    // are gone are dropped. GUI thread only.
    void RefreshFolder(TvTreeItem item);
    // The backup item of the folder `path`, opening the items on the way. Null when
    // the folder is not in the tree: missing, not a folder, or reached only through a
    // symbolic link. The path must be absolute; "." and ".." are resolved by name.
    TvTreeItem FindFolder(const std::string& path);
    // The item of the user's home folder, opened on its way from "/" (null when the
    // home folder cannot be reached that way).
    TvTreeItem ShowHomeFolder();

    // True when the folder has subfolders: its child items once opened, else a look
    // at the disk.
    bool HasSubfolders(TvTreeItem item) const;

    // Checks or unchecks a folder with everything loaded below it: the item by
    // CheckItem (ancestors follow), every loaded descendant item and every file
    // record of the item and below alike.
    void CheckFolder(TvTreeItem item, bool checked);
    // Makes the loaded subtree match the item's own checked-ness: descendants take
    // it, file records become 2 where their folder item is in 2-4 and 1 elsewhere,
    // and the item is recomputed from its children.
    void MatchSubtree(TvTreeItem item);
    // Sets every file record of the item's node to `state`.
    void SetFileStates(TvTreeItem item, int state);
    // The record of `name` (exact) in the item's node; null when there is none.
    CFolderTreeFile* FindFile(TvTreeItem item, const std::string& name) const;

    // The first item after the subtree of `item` in pre-order.
    TvTreeItem GetNextAfterSubtree(TvTreeItem item) const;

    // Lexically normal absolute form: single "/" separators, no "." and "..", no
    // trailing "/" (except for "/" itself). Empty for a relative path.
    static std::string NormalPath(const std::string& path);

private:
    void SetSubtreeFiles(TvTreeItem item);

    CCheckTreeModel& m_tree;
    std::unordered_map<std::uint64_t, std::unique_ptr<CFolderTreeNode>> m_nodes;
};
