#pragma once

// Trees for the check-tree tests written as text: "P4[A2 B1[X1]]" is an item P in state
// 4 with children A (state 2) and B (state 1), B with one child X. Names are letters.
#include "CheckTreeModel.h"

#include <map>
#include <string>

namespace treetest {

// Adds the items of `text` at the top level of `model`; returns each name's handle.
std::map<std::string, TvTreeItem> Build(CCheckTreeModel& model, const std::string& text);
// The whole tree in the same form.
std::string Describe(const CCheckTreeModel& model);

} // namespace treetest
