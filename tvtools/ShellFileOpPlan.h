#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tvshell {

// One top-level item of a copy or move: where it comes from and the full path it
// gets.
struct ShellTransfer
{
    std::string source;
    std::string dest;
};

// The items a source names: the entry itself, or with "*" or "?" in its last
// component every matching entry of its folder (sorted; only files with
// `filesOnly`). A source without wildcards must exist (ENOENT otherwise).
std::vector<std::string> ExpandSource(const std::string& source, bool filesOnly);

// Pairs every source item with its destination, as the shell does:
// - with FOF_MULTIDESTFILES one target per source: the new name of that source, or
//   the folder that receives the items of a wildcard source;
// - otherwise one target: a folder that receives every item (created when missing),
//   except that a single source without wildcards goes to the target's very name
//   when the target is not an existing folder.
// Throws ShellFileOpError: EINVAL when the lists do not fit together.
std::vector<ShellTransfer> PlanTransfers(const std::vector<std::string>& sources,
                                         const std::vector<std::string>& targets,
                                         std::uint16_t flags);

} // namespace tvshell
