#pragma once

#include "FolderTreeFile.h"
#include "ItemTag.h"

#include <string>
#include <vector>

class CAddInfo;

// The data of one folder item of the My Files tree: the folder's path and its files.
// A backup node is opened once, when its folder is first listed; until then it has
// neither child items nor files, which tells the collection to take the whole folder.
// A restore node stands for a folder of stored paths and never looks at the disk.
//
// The item's data points at `m_Tag` (kind 4), so code that reads every item's data
// as an ItemTag, as the engine does with its trees, meets a tag it can skip.
struct CFolderTreeNode
{
    ItemTag m_Tag;
    std::string m_strPath;
    bool m_bOpened = false;
    bool m_bRestore = false;
    std::vector<CFolderTreeFile> m_Files;
    // Restore: the folder's own catalogue entry (its mode and time), owned by the
    // source; null when the backup holds none for it.
    CAddInfo* m_pStoredFolder = nullptr;
};
