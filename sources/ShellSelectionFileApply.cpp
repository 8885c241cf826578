#include "ShellSelectionFile.h"

#include "CaseFold.h"
#include "CheckTreeModel.h"
#include "FolderTree.h"

#include <algorithm>

// Capturing the tree's selection as a list of folders and applying such a list.

using namespace tvcheck;

std::uint32_t CShellSelectionFile::AllSubFolders(TvTreeItem item) const
{
    const CCheckTreeModel& tree = m_tree.GetTree();
    if (!m_tree.HasSubfolders(item))
        return 0;
    for (TvTreeItem child = tree.GetChildItem(item); child;
         child = tree.GetNextSiblingItem(child)) {
        const int state = tree.GetItemCheckState(child);
        if (state == kUnchecked || state == kPartial)
            return 0;
    }
    return 1;
}

// True when everything loaded below the item is checked, items and file records,
// so that checking the item's children brings back exactly what is there now.
bool CShellSelectionFile::IsFullSubtree(TvTreeItem item) const
{
    const CCheckTreeModel& tree = m_tree.GetTree();
    const TvTreeItem end = m_tree.GetNextAfterSubtree(item);
    for (TvTreeItem at = tree.GetNextItemEx(item); at && at != end; at = tree.GetNextItemEx(at)) {
        if (!tree.IsItemChecked(at))
            return false;
        if (const CFolderTreeNode* node = m_tree.GetNode(at))
            for (const CFolderTreeFile& file : node->m_Files)
                if (!file.IsChecked())
                    return false;
    }
    return true;
}

void CShellSelectionFile::Capture()
{
    Clear();
    const CCheckTreeModel& tree = m_tree.GetTree();
    TvTreeItem item = tree.GetRootItem();
    while (item) {
        const CFolderTreeNode* node = m_tree.GetNode(item);
        if (!node || node->m_bRestore || !tree.IsItemCheckedOrSubChecked(item)) {
            item = tree.GetNextItemEx(item);
            continue;
        }
        auto selected = std::make_unique<CShellSelectionItem>();
        selected->m_strPath = node->m_strPath;
        selected->m_nCheckState = static_cast<std::uint32_t>(tree.GetItemCheckState(item));
        selected->m_nAllSubFolders = AllSubFolders(item);
        selected->m_nAllFiles =
            std::all_of(node->m_Files.begin(), node->m_Files.end(),
                        [](const CFolderTreeFile& file) { return file.IsChecked(); })
                ? 1
                : 0;
        if (!selected->m_nAllFiles)
            for (const CFolderTreeFile& file : node->m_Files)
                if (file.IsChecked())
                    selected->m_FileNames.push_back(file.m_strName);
        const bool skipChildren =
            selected->m_nAllSubFolders && tree.ItemHasChildren(item) && IsFullSubtree(item);
        m_Items.push_back(std::move(selected));
        // Checking the children on apply brings such a subtree back whole; a subtree
        // with anything unchecked in it is written out item by item instead, so that
        // a file the user left out stays out.
        item = skipChildren ? m_tree.GetNextAfterSubtree(item) : tree.GetNextItemEx(item);
    }
}

void CShellSelectionFile::Apply()
{
    for (const auto& selected : m_Items)
        ApplyItem(*selected);
}

void CShellSelectionFile::ApplyItem(const CShellSelectionItem& selected)
{
    CCheckTreeModel& tree = m_tree.GetTree();
    if (!IsValidState(selected.m_nCheckState))
        return;
    const TvTreeItem item = m_tree.FindFolder(selected.m_strPath);
    if (!item)
        return; // the folder is gone
    tree.SetItemCheckState(item, static_cast<int>(selected.m_nCheckState));
    if (selected.m_nAllSubFolders && selected.m_nAllFiles) {
        m_tree.MatchSubtree(item);
        return;
    }
    m_tree.OpenFolder(item);
    for (TvTreeItem child = tree.GetChildItem(item); child;
         child = tree.GetNextSiblingItem(child)) {
        if (selected.m_nAllSubFolders) {
            tree.CheckItem(child, kCheck);
            continue;
        }
        // Children that were checked follow as selection items of their own; the
        // others must not keep the check they took when this folder was opened.
        const TvTreeItem end = m_tree.GetNextAfterSubtree(child);
        for (TvTreeItem at = child; at && at != end; at = tree.GetNextItemEx(at)) {
            tree.SetItemCheckState(at, kUnchecked);
            m_tree.SetFileStates(at, kUnchecked);
        }
    }
    // Opening the folder may have moved its own state (children checked at once).
    tree.SetItemCheckState(item, static_cast<int>(selected.m_nCheckState));
    CFolderTreeNode* node = m_tree.GetNode(item);
    for (CFolderTreeFile& file : node->m_Files) {
        const bool named = std::any_of(
            selected.m_FileNames.begin(), selected.m_FileNames.end(),
            [&file](const std::string& name) { return EqualsNoCase(name, file.m_strName); });
        file.m_nState = selected.m_nAllFiles || named ? kChecked : kUnchecked;
    }
}
