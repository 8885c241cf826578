#include "Dbx5FolderNesting.h"

#include "Dbx5Folder.h"

#include <unordered_map>

CDbx5FolderNesting::CDbx5FolderNesting(const std::vector<const CDbx5Folder*>& folders)
    : m_Children(folders.size()), m_Placed(folders.size(), false)
{
    MapChildren(folders);
    for (const std::size_t top : m_Tops)
        PlaceFrom(top);
    // The folders below the too deep ones must be placed before what is left counts
    // as a cycle.
    PlaceTooDeep();
    for (std::size_t i = 0; i < folders.size(); ++i) {
        if (!m_Placed[i]) {
            m_Cycles.push_back(i);
            PlaceFrom(i);
            PlaceTooDeep();
        }
    }
}

void CDbx5FolderNesting::PlaceTooDeep()
{
    while (m_nTooDeepPlaced < m_TooDeep.size())
        PlaceFrom(m_TooDeep[m_nTooDeepPlaced++]);
}

void CDbx5FolderNesting::MapChildren(const std::vector<const CDbx5Folder*>& folders)
{
    std::unordered_map<std::int32_t, std::size_t> byIndex;
    for (std::size_t i = 0; i < folders.size(); ++i)
        byIndex.try_emplace(folders[i]->m_nFolderIndex, i);
    for (std::size_t i = 0; i < folders.size(); ++i) {
        const std::int32_t parent = folders[i]->m_nParentIndex;
        const auto found = parent == -1 ? byIndex.end() : byIndex.find(parent);
        if (found != byIndex.end()) {
            // A folder that is its own parent stays out of every child list; the
            // cycle pass puts it at the top.
            if (found->second != i)
                m_Children[found->second].push_back(i);
            continue;
        }
        m_Tops.push_back(i);
        if (parent != -1)
            m_Orphans.push_back(i);
    }
}

// Breadth first: every folder is placed after its parent, and siblings keep their
// list order, which is all the tree needs.
void CDbx5FolderNesting::PlaceFrom(std::size_t folder)
{
    const std::size_t first = m_Placements.size();
    m_Placed[folder] = true;
    m_Placements.push_back({folder, kTop, 1});
    for (std::size_t next = first; next < m_Placements.size(); ++next) {
        const CPlacement parent = m_Placements[next];
        for (const std::size_t child : m_Children[parent.folder]) {
            if (m_Placed[child])
                continue; // reached again round a ring of parents
            m_Placed[child] = true;
            if (parent.depth >= kMaxDepth)
                m_TooDeep.push_back(child);
            else
                m_Placements.push_back({child, parent.folder, parent.depth + 1});
        }
    }
}
