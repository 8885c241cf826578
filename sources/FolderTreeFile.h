#pragma once

#include "CheckStates.h"

#include <cstdint>
#include <string>

class CAddInfo;

// One file of a folder in the My Files tree: files are not tree items but records of
// their folder's node, shown in the list beside the tree. Backup: a file on disk
// (symbolic links, never followed, are files too); restore: a stored entry.
struct CFolderTreeFile
{
    std::string m_strName;
    std::string m_strPath;              // full path; restore: the path the entry was stored from
    int m_nState = tvcheck::kUnchecked; // 1 or 2; 4 counts as checked too
    std::uint64_t m_nSize = 0;
    bool m_bLink = false;
    CAddInfo* m_pStored = nullptr; // restore: the catalogue entry, owned by the source

    bool IsChecked() const { return tvcheck::IsChecked(m_nState); }
};
