#pragma once

#include "CheckStates.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One item of a CCheckTreeModel; the model owns every node, parents point at their
// children in order and each child knows its position, so a view finds an item's row
// without searching.
struct CCheckTreeNode
{
    std::uint64_t id = 0;
    CCheckTreeNode* parent = nullptr;
    std::vector<CCheckTreeNode*> children;
    int row = 0;
    std::string text;
    std::uintptr_t data = 0;
    int state = tvcheck::kUnchecked;
    bool bold = false;
    // The selection key under which the state is saved; items without one are not saved.
    std::optional<std::string> key;
};
