#pragma once

#include "AddInfo.h"
#include "AutoObArray.h"
#include "FileCheck.h"
#include "ItemTag.h"
#include "TvTreeItem.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CCheckTreeModel;
class CTreeChildIndex;

// The base of every data source and of the engine itself: the source's catalogue
// name, the tags of the tree nodes it made, its item list (backup: the entries for
// the archive; restore: the entries of its catalogue), its restore plan and the mode
// (-1 after construction, 0 backup, 1 restore).
//
// Operations return the engine's result codes (ResultCodes.h), except the catalogue
// reads and writes, which return 1 or 0.
class CDataSource
{
public:
    CDataSource() = default;
    explicit CDataSource(std::string catalogueName) : m_strCatalogueName(std::move(catalogueName))
    {
    }
    CDataSource(const CDataSource&) = delete;
    CDataSource& operator=(const CDataSource&) = delete;

    // Deletes every tag; tree nodes that point at them must go first.
    virtual void ClearTags();
    // Source-specific; the base clears the tags.
    virtual void Reset();
    virtual ~CDataSource();
    // Puts every entry with a tree path into the tree below `parent`; the node for the
    // path gets the entry as item data. A null parent (the top level) empties the tree
    // first. Returns 0.
    virtual int FillTree(CCheckTreeModel& tree, TvTreeItem parent);
    // Finds or makes the nodes for the components of a "\"-separated path from
    // component `index` on, below `parent`; texts compare ignoring case, new nodes are
    // appended unchecked. Returns the node of the last component (the parent itself
    // when there is none). Empty components are skipped.
    virtual TvTreeItem InsertPath(CCheckTreeModel& tree, const std::string& path, TvTreeItem parent,
                                  std::size_t index);

    // A new tag owned by this source, for a node's item data.
    ItemTag* NewTag(std::uintptr_t value, std::uint32_t kind);
    std::size_t GetTagCount() const { return m_TagList.size(); }

    const std::string& GetCatalogueName() const { return m_strCatalogueName; }
    void SetCatalogueName(const std::string& name) { m_strCatalogueName = name; }
    int GetMode() const { return m_nMode; }
    void SetMode(int mode) { m_nMode = mode; }

    std::size_t GetItemCount() const { return m_ItemList.GetSize(); }
    std::uint64_t GetTotalSize() const { return SumSizes(m_ItemList); }
    std::uint64_t GetRestoreTotalSize() const { return SumSizes(m_RestorePlan); }
    CAutoObArray<CAddInfo>& GetItemList() { return m_ItemList; }
    CAutoObArray<CAddInfo>& GetRestorePlan() { return m_RestorePlan; }

    // Writes the item list as a catalogue named `name` in the work folder, then puts
    // an entry for the catalogue file at the front of the list. 1 or 0.
    int WriteCatalogue(const std::string& name);
    int WriteCatalogueFile(const std::string& path);
    // Replaces the item list by the catalogue at `path`. 1 or 0; on failure the list
    // is empty and GetLastError says why (a malformed file is also shown to the user).
    int ReadCatalogue(const std::string& path);
    const std::string& GetLastError() const { return m_strLastError; }

    // Checks the file and, when it may be taken, appends an entry for it (kind 0, no
    // entry name, no tree path). 0, or 8 (skipped) or 7 (cancelled).
    int AddFile(const std::string& path);
    // The check loop every Add file runs: 0 to go on, 8 skip, 7 cancel.
    // `known`: the file's status as the caller has just read it (lstat), or null.
    int CheckFileLoop(const std::string& path, const struct stat* known = nullptr);
    // The check to use (not owned); null restores the one that asks nobody.
    void SetFileCheck(CFileCheck* check) { m_pFileCheck = check; }

protected:
    static std::uint64_t SumSizes(const CAutoObArray<CAddInfo>& list);

    std::string m_strCatalogueName;
    std::vector<std::unique_ptr<ItemTag>> m_TagList;
    CAutoObArray<CAddInfo> m_ItemList;
    CAutoObArray<CAddInfo> m_RestorePlan;
    std::int32_t m_nMode = -1;

private:
    TvTreeItem FindChild(const CCheckTreeModel& tree, TvTreeItem parent,
                         std::string_view text) const;

    CFileCheck* m_pFileCheck = nullptr;
    // Set while FillTree runs, so its many look-ups need not walk the siblings.
    CTreeChildIndex* m_pChildIndex = nullptr;
    std::string m_strLastError;
};
