#include "CheckTreeModel.h"

#include "CheckTreeNode.h"

// Pre-order walks: an item comes before its children, children in order.

TvTreeItem CCheckTreeModel::GetNextItemEx(TvTreeItem item) const
{
    const CCheckTreeNode* node = Find(item);
    if (!node)
        return {};
    if (!node->children.empty())
        return HandleOf(node->children.front());
    for (; node != m_root.get(); node = node->parent) {
        const auto next = static_cast<std::size_t>(node->row) + 1;
        if (next < node->parent->children.size())
            return HandleOf(node->parent->children[next]);
    }
    return {};
}

TvTreeItem CCheckTreeModel::GetPrevItem(TvTreeItem item) const
{
    const CCheckTreeNode* node = Find(item);
    if (!node)
        return {};
    if (node->row > 0)
        return GetLastItem(
            HandleOf(node->parent->children[static_cast<std::size_t>(node->row) - 1]));
    return GetParentItem(item);
}

TvTreeItem CCheckTreeModel::GetLastItem(TvTreeItem item) const
{
    const CCheckTreeNode* node = FindParent(item);
    if (!node)
        return {};
    while (!node->children.empty())
        node = node->children.back();
    return node == m_root.get() ? TvTreeItem{} : HandleOf(node);
}

TvTreeItem CCheckTreeModel::GetFirstCheckedItem() const
{
    const TvTreeItem first = GetRootItem();
    return IsItemChecked(first) ? first : GetNextCheckedItem(first);
}

TvTreeItem CCheckTreeModel::GetNextCheckedItem(TvTreeItem item) const
{
    for (item = GetNextItemEx(item); item; item = GetNextItemEx(item))
        if (IsItemChecked(item))
            return item;
    return {};
}

TvTreeItem CCheckTreeModel::GetPrevCheckedItem(TvTreeItem item) const
{
    for (item = GetPrevItem(item); item; item = GetPrevItem(item))
        if (IsItemChecked(item))
            return item;
    return {};
}
