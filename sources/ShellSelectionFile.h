#pragma once

#include "ObjectStreamError.h"
#include "ShellSelectionItem.h"
#include "TvTreeItem.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CFolderTree;

// The selection of the My Files tree as a list of selected folders: captured from
// the tree, applied to it, saved to and loaded from a selection file (".tbs", and
// "Shell.xsel" in the job's folder). The file is the item array as an object stream.
class CShellSelectionFile
{
public:
    explicit CShellSelectionFile(CFolderTree& tree) : m_tree(tree) {}
    CShellSelectionFile(const CShellSelectionFile&) = delete;
    CShellSelectionFile& operator=(const CShellSelectionFile&) = delete;

    // 1 on success; 0 when the file cannot be written, with "Fail to create or open
    // current playlist file" in the status log.
    int Save(const std::string& path);
    // 1 on success; 0 when the file cannot be read or is no selection file (the same
    // line in the status log); the tree then keeps its check states.
    int Load(const std::string& path);
    // Ask for a ".tbs" file through the prompt, then save or load; 0 when the user
    // cancelled or the file failed.
    int SaveAs();
    int Open();

    // Reads the tree's selection into the item list.
    void Capture();
    // Gives the tree the selection of the item list.
    void Apply();

    std::vector<std::uint8_t> ToBytes() const;
    // Replaces the item list; throws CObjectStreamError on malformed bytes, leaving
    // the list as it was.
    void FromBytes(const std::vector<std::uint8_t>& bytes);

    void Clear() { m_Items.clear(); }
    std::vector<std::unique_ptr<CShellSelectionItem>>& GetItems() { return m_Items; }

private:
    std::uint32_t AllSubFolders(TvTreeItem item) const;
    bool IsFullSubtree(TvTreeItem item) const;
    void ApplyItem(const CShellSelectionItem& selected);

    CFolderTree& m_tree;
    std::vector<std::unique_ptr<CShellSelectionItem>> m_Items;
};
