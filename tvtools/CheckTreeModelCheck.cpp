#include "CheckTreeModel.h"

#include "CheckTreeNode.h"

// Check states of the tree and their propagation to ancestors.

using namespace tvcheck;

namespace {

// Whether CheckItem of `type` leaves an item in `state` alone, propagation included:
// unavailable items and items without a box, checking what is checked, unchecking
// what is not, and unknown types.
bool LeavesAlone(int state, int type)
{
    if (state == kNone || state == kUnavailable || type < kCheck || type > kRecompute)
        return true;
    return (type == kCheck && IsChecked(state)) || (type == kUncheck && !IsChecked(state));
}

// Whether some child shows a tick or a hatched box (any state but 0 and 1).
bool HasSetChild(const CCheckTreeNode* node)
{
    for (const CCheckTreeNode* child : node->children)
        if (child->state != kNone && child->state != kUnchecked)
            return true;
    return false;
}

std::size_t CountCheckedOrSubChecked(const CCheckTreeNode* node)
{
    std::size_t count = 0;
    for (const CCheckTreeNode* child : node->children)
        count += IsCheckedOrSubChecked(child->state) ? 1 : 0;
    return count;
}

} // namespace

int CCheckTreeModel::GetItemCheckState(TvTreeItem item) const
{
    const CCheckTreeNode* node = Find(item);
    return node ? node->state : kNone;
}

bool CCheckTreeModel::SetItemCheckState(TvTreeItem item, int state)
{
    CCheckTreeNode* node = Find(item);
    if (!node || !IsValidState(state))
        return false;
    SetState(node, state);
    return true;
}

bool CCheckTreeModel::IsItemChecked(TvTreeItem item) const
{
    return IsChecked(GetItemCheckState(item));
}

bool CCheckTreeModel::IsItemCheckedOrSubChecked(TvTreeItem item) const
{
    return IsCheckedOrSubChecked(GetItemCheckState(item));
}

void CCheckTreeModel::SetState(CCheckTreeNode* node, int state)
{
    if (node->state == state)
        return;
    node->state = state;
    Changed(node);
}

int CCheckTreeModel::CheckItem(TvTreeItem item, int type)
{
    CCheckTreeNode* node = Find(item);
    if (!node)
        return 0;
    if (LeavesAlone(node->state, type))
        return 1;
    SetState(node, NextState(node->state, type, HasSetChild(node)));
    if (node->state == kUnchecked)
        PropagateUnchecked(node);
    else if (IsCheckedOrSubChecked(node->state))
        PropagateChecked(node);
    return 1;
}

// Clears the sub-check marks of ancestors that no longer have a ticked child. The first
// ancestor that still has one stops the walk; it shows the grey tick unless all its
// children are ticked (so a checked parent loses its own tick when a child goes).
void CCheckTreeModel::PropagateUnchecked(CCheckTreeNode* node)
{
    for (CCheckTreeNode* parent = node->parent; parent != m_root.get(); parent = parent->parent) {
        const std::size_t set = CountCheckedOrSubChecked(parent);
        if (set > 0) {
            // An item without a box stays without one, like an unavailable item.
            if (set < parent->children.size() && parent->state != kUnavailable &&
                parent->state != kNone)
                SetState(parent, kPartial);
            return;
        }
        if (parent->state == kPartial)
            SetState(parent, kUnchecked);
        else if (parent->state == kCheckedPartial)
            SetState(parent, kChecked);
    }
}

// Marks every ancestor as having a ticked descendant; an unchecked ancestor whose
// children are now all ticked becomes checked itself.
void CCheckTreeModel::PropagateChecked(CCheckTreeNode* node)
{
    for (CCheckTreeNode* parent = node->parent; parent != m_root.get(); parent = parent->parent) {
        if (parent->state == kUnchecked)
            SetState(parent, kPartial);
        else if (parent->state == kChecked)
            SetState(parent, kCheckedPartial);
        else if (parent->state == kPartial &&
                 CountCheckedOrSubChecked(parent) == parent->children.size())
            SetState(parent, kCheckedPartial);
    }
}

void CCheckTreeModel::CheckItemChildern(TvTreeItem item)
{
    CCheckTreeNode* node = Find(item);
    if (!node || node->children.empty())
        return;
    const bool checked = IsChecked(node->state);
    // By handle, since an overridden CheckItem may change the tree under the walk.
    std::vector<TvTreeItem> children;
    for (const CCheckTreeNode* child : node->children)
        children.push_back(HandleOf(child));
    for (const TvTreeItem child : children) {
        if (IsItemChecked(child) != checked)
            CheckItem(child, kToggle);
        if (ItemHasChildren(child))
            CheckItemChildern(child);
    }
}

void CCheckTreeModel::SetAllChecked(bool checked)
{
    for (TvTreeItem item = GetRootItem(); item; item = GetNextItemEx(item))
        if (IsItemChecked(item) != checked)
            CheckItem(item, kToggle);
}
