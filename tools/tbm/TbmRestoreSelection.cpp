#include "TbmRestoreSelection.h"

#include "CheckTreeModel.h"
#include "MyFilesData.h"

#include <fnmatch.h>

namespace {

std::string JoinFrom(const std::vector<std::string>& parts, std::size_t first)
{
    std::string joined;
    for (std::size_t i = first; i < parts.size(); ++i)
        joined += (i > first ? "/" : "") + parts[i];
    return joined;
}

} // namespace

std::vector<std::string> CTbmRestoreSelection::Candidates(const std::string& stored)
{
    const CMyFilesRestoreTarget::CStoredPath split = CMyFilesRestoreTarget::Split(stored);
    std::vector<std::string> parts = split.folders;
    parts.push_back(split.name);
    std::vector<std::string> candidates{stored};
    // The whole path with "/" only: "/home/u/a.txt", "C:/Docs/a.txt", "//srv/share/x".
    std::string root = split.root;
    for (char& c : root)
        if (c == '\\')
            c = '/';
    if (!root.empty() && root.back() != '/')
        root += '/';
    candidates.push_back(root + JoinFrom(parts, 0));
    for (std::size_t first = 0; first < parts.size(); ++first)
        candidates.push_back(JoinFrom(parts, first));
    return candidates;
}

bool CTbmRestoreSelection::Matches(const std::string& pattern, const std::string& stored)
{
    if (pattern.empty() || CMyFilesRestoreTarget::Split(stored).name.empty())
        return false;
    for (const std::string& candidate : Candidates(stored))
        if (fnmatch(pattern.c_str(), candidate.c_str(), FNM_PATHNAME | FNM_NOESCAPE) == 0)
            return true;
    return false;
}

std::size_t CTbmRestoreSelection::Apply(CMyFilesData& files,
                                        const std::vector<std::string>& patterns)
{
    CCheckTreeModel& tree = files.GetTree();
    CFolderTree& folders = files.GetFolderTree();
    if (patterns.empty())
        for (TvTreeItem item = tree.GetRootItem(); item; item = tree.GetNextSiblingItem(item))
            folders.CheckFolder(item, true);
    std::size_t checked = 0;
    for (TvTreeItem item = tree.GetRootItem(); item; item = tree.GetNextItemEx(item)) {
        CFolderTreeNode* node = folders.GetNode(item);
        if (!node || !node->m_bRestore)
            continue;
        bool any = false;
        for (CFolderTreeFile& file : node->m_Files) {
            if (!patterns.empty()) {
                bool match = false;
                for (const std::string& pattern : patterns)
                    match = match || Matches(pattern, file.m_strPath);
                file.m_nState = match ? tvcheck::kChecked : tvcheck::kUnchecked;
            }
            any = any || file.IsChecked();
            checked += file.IsChecked() ? 1 : 0;
        }
        // The plan only looks into folders that are checked or hold something checked;
        // the folder's other records and subfolders stay as they are.
        if (any && !tree.IsItemCheckedOrSubChecked(item))
            tree.SetItemCheckState(item, tvcheck::kPartial);
    }
    return checked;
}
