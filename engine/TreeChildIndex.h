#pragma once

#include "TvTreeItem.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

class CCheckTreeModel;

// Finds a node's child by text, ignoring case, without walking all siblings each
// time: filling a restore tree from a folder of many thousand files would otherwise
// take quadratic time. A parent's children are indexed on first use; the index must
// hear of every child added while it is in use, and is thrown away afterwards.
class CTreeChildIndex
{
public:
    explicit CTreeChildIndex(const CCheckTreeModel& tree) : m_tree(tree) {}

    // The first child of `parent` whose text equals `text` ignoring case, or null.
    TvTreeItem Find(TvTreeItem parent, std::string_view text);
    void Added(TvTreeItem parent, TvTreeItem child, std::string_view text);

private:
    using Children = std::unordered_map<std::string, TvTreeItem>;
    Children& ChildrenOf(TvTreeItem parent);

    const CCheckTreeModel& m_tree;
    std::unordered_map<std::uint64_t, Children> m_parents;
};
