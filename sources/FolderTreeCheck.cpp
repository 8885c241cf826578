#include "FolderTree.h"

#include "CheckTreeModel.h"

using namespace tvcheck;

void CFolderTree::SetFileStates(TvTreeItem item, int state)
{
    if (CFolderTreeNode* node = GetNode(item))
        for (CFolderTreeFile& file : node->m_Files)
            file.m_nState = state;
}

// Every record of the item and below takes the checked-ness of its own folder item.
void CFolderTree::SetSubtreeFiles(TvTreeItem item)
{
    const TvTreeItem end = GetNextAfterSubtree(item);
    for (TvTreeItem at = item; at && at != end; at = m_tree.GetNextItemEx(at))
        SetFileStates(at,
                      IsCheckedOrSubChecked(m_tree.GetItemCheckState(at)) ? kChecked : kUnchecked);
}

void CFolderTree::CheckFolder(TvTreeItem item, bool checked)
{
    if (!m_tree.IsItem(item))
        return;
    m_tree.CheckItem(item, checked ? kCheck : kUncheck);
    m_tree.CheckItemChildern(item);
    const TvTreeItem end = GetNextAfterSubtree(item);
    for (TvTreeItem at = item; at && at != end; at = m_tree.GetNextItemEx(at))
        SetFileStates(at, checked ? kChecked : kUnchecked);
}

void CFolderTree::MatchSubtree(TvTreeItem item)
{
    if (!m_tree.IsItem(item))
        return;
    m_tree.CheckItemChildern(item);
    SetSubtreeFiles(item);
    m_tree.CheckItem(item, kRecompute);
}
