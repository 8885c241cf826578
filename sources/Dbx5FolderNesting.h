#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

class CDbx5Folder;

// Where each folder of the index goes in the mail folder tree. A folder goes below
// the first folder whose index is its parent index, siblings in list order; a folder
// without a parent index goes to the top.
//
// Damaged indexes lose no folder: one whose parent index names no folder goes to the
// top (an orphan), and folders that can never be reached from the top because their
// parents lead back to themselves (a folder its own parent, or a ring of parents) go
// there too (a cycle), with everything below them. Nesting stops at kMaxDepth levels:
// a folder below that starts again at the top (too deep), since the tree's own walks
// recurse and a forged chain of folders would exhaust the stack. The placements come
// from one pass over a parent-to-children map, each folder exactly once, parents
// before children.
class CDbx5FolderNesting
{
public:
    static constexpr std::size_t kTop = std::numeric_limits<std::size_t>::max();
    static constexpr unsigned kMaxDepth = 256;

    struct CPlacement
    {
        std::size_t folder = 0; // position in the folder list
        std::size_t parent = kTop;
        unsigned depth = 1; // 1 directly below the top
    };

    explicit CDbx5FolderNesting(const std::vector<const CDbx5Folder*>& folders);

    const std::vector<CPlacement>& GetPlacements() const { return m_Placements; }
    // Folders at the top although they name a parent, in list order.
    const std::vector<std::size_t>& GetOrphans() const { return m_Orphans; }
    const std::vector<std::size_t>& GetCycles() const { return m_Cycles; }
    const std::vector<std::size_t>& GetTooDeep() const { return m_TooDeep; }

private:
    void MapChildren(const std::vector<const CDbx5Folder*>& folders);
    void PlaceFrom(std::size_t folder);
    void PlaceTooDeep();

    std::vector<std::vector<std::size_t>> m_Children;
    std::vector<std::size_t> m_Tops;
    std::vector<bool> m_Placed;
    std::vector<CPlacement> m_Placements;
    std::vector<std::size_t> m_Orphans;
    std::vector<std::size_t> m_Cycles;
    std::vector<std::size_t> m_TooDeep;
    std::size_t m_nTooDeepPlaced = 0;
};
