#include "TreeChildIndex.h"

#include "CaseFold.h"
#include "CheckTreeModel.h"

CTreeChildIndex::Children& CTreeChildIndex::ChildrenOf(TvTreeItem parent)
{
    const auto found = m_parents.find(parent.id);
    if (found != m_parents.end())
        return found->second;
    Children& children = m_parents[parent.id];
    for (TvTreeItem child = m_tree.GetChildItem(parent); child;
         child = m_tree.GetNextSiblingItem(child))
        children.emplace(FoldCase(m_tree.GetItemText(child)), child); // the first one stays
    return children;
}

TvTreeItem CTreeChildIndex::Find(TvTreeItem parent, std::string_view text)
{
    Children& children = ChildrenOf(parent);
    const auto found = children.find(FoldCase(text));
    return found == children.end() ? TvTreeItem{} : found->second;
}

void CTreeChildIndex::Added(TvTreeItem parent, TvTreeItem child, std::string_view text)
{
    ChildrenOf(parent).emplace(FoldCase(text), child);
}
