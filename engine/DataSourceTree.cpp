#include "DataSource.h"

#include "CaseFold.h"
#include "CheckTreeModel.h"
#include "TreeChildIndex.h"

#include <algorithm>

namespace {

// The next non-empty component of a "\"-separated path from `offset` on, moving
// `offset` past it; false when there is none.
bool NextComponent(std::string_view path, std::size_t& offset, std::string_view& component)
{
    while (offset <= path.size()) {
        const std::size_t end = std::min(path.find('\\', offset), path.size());
        component = path.substr(offset, end - offset);
        offset = end + 1;
        if (!component.empty())
            return true;
    }
    return false;
}

// Makes an index live for one scope.
class CIndexScope
{
public:
    CIndexScope(CTreeChildIndex*& slot, CTreeChildIndex& index) : m_slot(slot) { m_slot = &index; }
    ~CIndexScope() { m_slot = nullptr; }
    CIndexScope(const CIndexScope&) = delete;
    CIndexScope& operator=(const CIndexScope&) = delete;

private:
    CTreeChildIndex*& m_slot;
};

} // namespace

TvTreeItem CDataSource::FindChild(const CCheckTreeModel& tree, TvTreeItem parent,
                                  std::string_view text) const
{
    if (m_pChildIndex)
        return m_pChildIndex->Find(parent, text);
    for (TvTreeItem child = tree.GetChildItem(parent); child;
         child = tree.GetNextSiblingItem(child)) {
        if (EqualsNoCase(tree.GetItemText(child), text))
            return child;
    }
    return {};
}

int CDataSource::FillTree(CCheckTreeModel& tree, TvTreeItem parent)
{
    if (!parent)
        tree.DeleteAllItems();
    CTreeChildIndex index(tree);
    const CIndexScope scope(m_pChildIndex, index);
    for (CAddInfo* info : m_ItemList) {
        if (info->m_strTreePath.empty())
            continue;
        const TvTreeItem node = InsertPath(tree, info->m_strTreePath, parent, 0);
        // A path of separators only names the parent, whose own data must stay.
        if (node && node != parent)
            tree.SetItemData(node, reinterpret_cast<std::uintptr_t>(info));
    }
    return 0;
}

// Iterative, so a path of any depth costs no stack.
TvTreeItem CDataSource::InsertPath(CCheckTreeModel& tree, const std::string& path,
                                   TvTreeItem parent, std::size_t index)
{
    std::size_t offset = 0;
    std::string_view component;
    for (std::size_t skipped = 0; skipped < index; ++skipped) {
        if (!NextComponent(path, offset, component))
            return parent;
    }
    TvTreeItem node = parent;
    while (NextComponent(path, offset, component)) {
        TvTreeItem child = FindChild(tree, node, component);
        if (!child) {
            child = tree.InsertItem(std::string(component), node);
            if (!child)
                break; // a stale parent: nothing can be added below it
            if (m_pChildIndex)
                m_pChildIndex->Added(node, child, component);
        }
        node = child;
    }
    return node;
}
