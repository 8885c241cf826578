#pragma once

#include "CheckStates.h"
#include "TvTreeItem.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class CCheckTreeObserver;
struct CCheckTreeNode;

// The items of a selection tree and their check states, with no display: texts, item
// data, bold flags, the six states of tvcheck, selection keys, the propagation of
// check states to ancestors, the pre-order walks over checked items and the saving
// and loading of states by key (".xsel" files: an object stream holding an array of
// CCheckStateString). Views follow it through CCheckTreeObserver; engine and data
// sources drive it through item handles. A null handle means "none" (or, as a parent,
// the top level); a stale handle is treated as null.
class CCheckTreeModel
{
public:
    CCheckTreeModel();
    virtual ~CCheckTreeModel();
    CCheckTreeModel(const CCheckTreeModel&) = delete;
    CCheckTreeModel& operator=(const CCheckTreeModel&) = delete;

    // Structure. InsertItem puts a new item below `parent` after `after` (a child of
    // `parent`, kTvItemFirst or kTvItemLast; any other handle appends). Null when the
    // parent is stale or the state is not 0-5.
    TvTreeItem InsertItem(const std::string& text, TvTreeItem parent = {},
                          TvTreeItem after = kTvItemLast, int state = tvcheck::kUnchecked);
    // Deletes the item and its descendants with their keys. False for a null item.
    bool DeleteItem(TvTreeItem item);
    bool DeleteAllItems();
    bool IsItem(TvTreeItem item) const;
    std::size_t GetCount() const { return m_nodes.size(); }

    TvTreeItem GetRootItem() const { return GetChildItem({}); }
    TvTreeItem GetParentItem(TvTreeItem item) const;
    // The first child; for null, the first top-level item.
    TvTreeItem GetChildItem(TvTreeItem item) const;
    TvTreeItem GetNextSiblingItem(TvTreeItem item) const;
    TvTreeItem GetPrevSiblingItem(TvTreeItem item) const;
    bool ItemHasChildren(TvTreeItem item) const { return static_cast<bool>(GetChildItem(item)); }
    int GetChildCount(TvTreeItem parent) const;
    TvTreeItem GetChildAt(TvTreeItem parent, int row) const;
    // The item's position among its siblings; -1 for a null item.
    int GetItemRow(TvTreeItem item) const;

    // Item properties; setters return false for a null item.
    std::string GetItemText(TvTreeItem item) const;
    bool SetItemText(TvTreeItem item, const std::string& text);
    std::uintptr_t GetItemData(TvTreeItem item) const;
    bool SetItemData(TvTreeItem item, std::uintptr_t data);
    bool IsItemBold(TvTreeItem item) const;
    bool SetItemBold(TvTreeItem item, bool bold);

    // Check states. GetItemCheckState is 0 for a null item. SetItemCheckState stores a
    // state as it is, without propagation; false for a null item or a state not 0-5.
    int GetItemCheckState(TvTreeItem item) const;
    bool SetItemCheckState(TvTreeItem item, int state);
    bool IsItemChecked(TvTreeItem item) const;
    bool IsItemCheckedOrSubChecked(TvTreeItem item) const;
    // Changes one item's state by type (tvcheck::kCheck .. kRecompute) and carries the
    // change to its ancestors. 0 for a null item, else 1.
    virtual int CheckItem(TvTreeItem item, int type);
    // Gives every descendant the checked-ness of the item, toggling those that differ.
    void CheckItemChildern(TvTreeItem item);
    void CheckAll() { SetAllChecked(true); }
    void UnCheckAll() { SetAllChecked(false); }

    // Pre-order walks. GetLastItem of null is the last item of the whole tree.
    TvTreeItem GetNextItemEx(TvTreeItem item) const;
    TvTreeItem GetPrevItem(TvTreeItem item) const;
    TvTreeItem GetLastItem(TvTreeItem item) const;
    TvTreeItem GetFirstCheckedItem() const;
    TvTreeItem GetNextCheckedItem(TvTreeItem item) const;
    TvTreeItem GetPrevCheckedItem(TvTreeItem item) const;

    // Selection keys and files. Save writes every keyed item in pre-order; Load sets
    // each keyed item to the state of the last record with its key (exact byte
    // comparison), nothing propagating, and ignores records whose state is not 0-5 and
    // keys that no item has. Both return false and leave the tree as it was when the
    // file cannot be written or read or is malformed; GetLastFileError then says why.
    // It is empty after success and when the file to load does not exist.
    bool SetCheckStringState(TvTreeItem item, const std::string& key);
    bool GetCheckStringState(TvTreeItem item, std::string& key) const;
    bool SaveCheckStateToFile(const std::string& path);
    bool LoadCheckStateFromFile(const std::string& path);
    const std::string& GetLastFileError() const { return m_lastFileError; }

    void AddObserver(CCheckTreeObserver* observer);
    void RemoveObserver(CCheckTreeObserver* observer);

private:
    CCheckTreeNode* Find(TvTreeItem item) const;
    CCheckTreeNode* FindParent(TvTreeItem parent) const;
    static TvTreeItem HandleOf(const CCheckTreeNode* node);
    void Renumber(CCheckTreeNode* parent, std::size_t from);
    void Forget(CCheckTreeNode* node);
    void Changed(const CCheckTreeNode* node);
    void SetState(CCheckTreeNode* node, int state);
    void PropagateUnchecked(CCheckTreeNode* node);
    void PropagateChecked(CCheckTreeNode* node);
    void SetAllChecked(bool checked);
    void Tell(const std::function<void(CCheckTreeObserver&)>& call);

    std::unique_ptr<CCheckTreeNode> m_root;
    std::unordered_map<std::uint64_t, std::unique_ptr<CCheckTreeNode>> m_nodes;
    std::uint64_t m_lastId = 0;
    std::vector<CCheckTreeObserver*> m_observers;
    std::string m_lastFileError;
};
