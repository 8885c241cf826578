#include "CheckTreeModel.h"

#include "CheckTreeNode.h"
#include "CheckTreeObserver.h"

#include <algorithm>

// Structure and item properties of the check tree; the check states, the walks and
// the files have their own source files.

CCheckTreeModel::CCheckTreeModel() : m_root(std::make_unique<CCheckTreeNode>()) {}

CCheckTreeModel::~CCheckTreeModel() = default;

CCheckTreeNode* CCheckTreeModel::Find(TvTreeItem item) const
{
    if (!item)
        return nullptr;
    const auto found = m_nodes.find(item.id);
    return found == m_nodes.end() ? nullptr : found->second.get();
}

CCheckTreeNode* CCheckTreeModel::FindParent(TvTreeItem parent) const
{
    return parent ? Find(parent) : m_root.get();
}

TvTreeItem CCheckTreeModel::HandleOf(const CCheckTreeNode* node)
{
    return node ? TvTreeItem{node->id} : TvTreeItem{};
}

bool CCheckTreeModel::IsItem(TvTreeItem item) const
{
    return Find(item) != nullptr;
}

void CCheckTreeModel::Tell(const std::function<void(CCheckTreeObserver&)>& call)
{
    for (CCheckTreeObserver* observer : m_observers)
        call(*observer);
}

void CCheckTreeModel::AddObserver(CCheckTreeObserver* observer)
{
    if (observer &&
        std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
        m_observers.push_back(observer);
}

void CCheckTreeModel::RemoveObserver(CCheckTreeObserver* observer)
{
    std::erase(m_observers, observer);
}

void CCheckTreeModel::Renumber(CCheckTreeNode* parent, std::size_t from)
{
    for (std::size_t i = from; i < parent->children.size(); ++i)
        parent->children[i]->row = static_cast<int>(i);
}

TvTreeItem CCheckTreeModel::InsertItem(const std::string& text, TvTreeItem parent, TvTreeItem after,
                                       int state)
{
    CCheckTreeNode* owner = FindParent(parent);
    if (!owner || !tvcheck::IsValidState(state))
        return {};
    std::size_t position = owner->children.size();
    if (after == kTvItemFirst) {
        position = 0;
    } else if (const CCheckTreeNode* sibling = Find(after); sibling && sibling->parent == owner) {
        position = static_cast<std::size_t>(sibling->row) + 1;
    }
    auto node = std::make_unique<CCheckTreeNode>();
    node->id = ++m_lastId;
    node->parent = owner;
    node->text = text;
    node->state = state;
    const TvTreeItem item{node->id};
    Tell([&](CCheckTreeObserver& o) {
        o.OnBeforeInsertItem(HandleOf(owner), static_cast<int>(position));
    });
    owner->children.insert(owner->children.begin() + static_cast<std::ptrdiff_t>(position),
                           node.get());
    Renumber(owner, position);
    m_nodes.emplace(item.id, std::move(node));
    Tell([&](CCheckTreeObserver& o) { o.OnAfterInsertItem(item); });
    return item;
}

void CCheckTreeModel::Forget(CCheckTreeNode* node)
{
    for (CCheckTreeNode* child : node->children)
        Forget(child);
    m_nodes.erase(node->id);
}

bool CCheckTreeModel::DeleteItem(TvTreeItem item)
{
    CCheckTreeNode* node = Find(item);
    if (!node)
        return false;
    Tell([&](CCheckTreeObserver& o) { o.OnBeforeDeleteItem(item); });
    CCheckTreeNode* parent = node->parent;
    const auto position = static_cast<std::size_t>(node->row);
    parent->children.erase(parent->children.begin() + static_cast<std::ptrdiff_t>(position));
    Renumber(parent, position);
    Forget(node);
    Tell([](CCheckTreeObserver& o) { o.OnAfterDeleteItem(); });
    return true;
}

bool CCheckTreeModel::DeleteAllItems()
{
    Tell([](CCheckTreeObserver& o) { o.OnBeforeDeleteAll(); });
    m_root->children.clear();
    m_nodes.clear();
    Tell([](CCheckTreeObserver& o) { o.OnAfterDeleteAll(); });
    return true;
}

TvTreeItem CCheckTreeModel::GetParentItem(TvTreeItem item) const
{
    const CCheckTreeNode* node = Find(item);
    return node && node->parent != m_root.get() ? HandleOf(node->parent) : TvTreeItem{};
}

TvTreeItem CCheckTreeModel::GetChildItem(TvTreeItem item) const
{
    return GetChildAt(item, 0);
}

int CCheckTreeModel::GetChildCount(TvTreeItem parent) const
{
    const CCheckTreeNode* node = FindParent(parent);
    return node ? static_cast<int>(node->children.size()) : 0;
}

TvTreeItem CCheckTreeModel::GetChildAt(TvTreeItem parent, int row) const
{
    const CCheckTreeNode* node = FindParent(parent);
    if (!node || row < 0 || static_cast<std::size_t>(row) >= node->children.size())
        return {};
    return HandleOf(node->children[static_cast<std::size_t>(row)]);
}

int CCheckTreeModel::GetItemRow(TvTreeItem item) const
{
    const CCheckTreeNode* node = Find(item);
    return node ? node->row : -1;
}

TvTreeItem CCheckTreeModel::GetNextSiblingItem(TvTreeItem item) const
{
    const CCheckTreeNode* node = Find(item);
    if (!node || static_cast<std::size_t>(node->row) + 1 >= node->parent->children.size())
        return {};
    return HandleOf(node->parent->children[static_cast<std::size_t>(node->row) + 1]);
}

TvTreeItem CCheckTreeModel::GetPrevSiblingItem(TvTreeItem item) const
{
    const CCheckTreeNode* node = Find(item);
    if (!node || node->row == 0)
        return {};
    return HandleOf(node->parent->children[static_cast<std::size_t>(node->row) - 1]);
}

void CCheckTreeModel::Changed(const CCheckTreeNode* node)
{
    const TvTreeItem item = HandleOf(node);
    Tell([&](CCheckTreeObserver& o) { o.OnItemChanged(item); });
}

std::string CCheckTreeModel::GetItemText(TvTreeItem item) const
{
    const CCheckTreeNode* node = Find(item);
    return node ? node->text : std::string();
}

bool CCheckTreeModel::SetItemText(TvTreeItem item, const std::string& text)
{
    CCheckTreeNode* node = Find(item);
    if (!node)
        return false;
    node->text = text;
    Changed(node);
    return true;
}

std::uintptr_t CCheckTreeModel::GetItemData(TvTreeItem item) const
{
    const CCheckTreeNode* node = Find(item);
    return node ? node->data : 0;
}

bool CCheckTreeModel::SetItemData(TvTreeItem item, std::uintptr_t data)
{
    CCheckTreeNode* node = Find(item);
    if (!node)
        return false;
    node->data = data;
    Changed(node);
    return true;
}

bool CCheckTreeModel::IsItemBold(TvTreeItem item) const
{
    const CCheckTreeNode* node = Find(item);
    return node && node->bold;
}

bool CCheckTreeModel::SetItemBold(TvTreeItem item, bool bold)
{
    CCheckTreeNode* node = Find(item);
    if (!node)
        return false;
    if (node->bold != bold) {
        node->bold = bold;
        Changed(node);
    }
    return true;
}

bool CCheckTreeModel::SetCheckStringState(TvTreeItem item, const std::string& key)
{
    CCheckTreeNode* node = Find(item);
    if (!node)
        return false;
    node->key = key;
    return true;
}

bool CCheckTreeModel::GetCheckStringState(TvTreeItem item, std::string& key) const
{
    const CCheckTreeNode* node = Find(item);
    if (!node || !node->key)
        return false;
    key = *node->key;
    return true;
}
