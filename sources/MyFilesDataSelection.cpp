#include "MyFilesData.h"

#include "CheckTreeModel.h"
#include "ProjectData.h"
#include "ShellSelectionFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

// The backup selection: paths from the command line, and "Shell.xsel".

namespace {

// The absolute path as the tree spells it: the folder holding the entry with its
// links resolved (the tree never opens a link), the entry's own name kept (a link
// named on the command line is stored as the link).
std::string TreeSpelling(const std::string& path)
{
    std::string absolute = path;
    if (absolute.empty() || absolute[0] != '/') {
        char cwd[PATH_MAX];
        if (!getcwd(cwd, sizeof cwd))
            return path;
        absolute = std::string(cwd) + "/" + path;
    }
    absolute = CFolderTree::NormalPath(absolute);
    char real[PATH_MAX];
    const std::size_t slash = absolute.find_last_of('/');
    if (absolute == "/" || slash == std::string::npos)
        return absolute;
    const std::string folder = slash == 0 ? "/" : absolute.substr(0, slash);
    if (!realpath(folder.c_str(), real))
        return absolute;
    const std::string resolved = real;
    return (resolved == "/" ? "" : resolved) + absolute.substr(slash);
}

} // namespace

void CMyFilesData::RemoveBackupItems()
{
    TvTreeItem item = m_pTree->GetRootItem();
    while (item) {
        const TvTreeItem next = m_pTree->GetNextSiblingItem(item);
        const CFolderTreeNode* node = m_pFolders->GetNode(item);
        if (node && !node->m_bRestore)
            m_pTree->DeleteItem(item);
        item = next;
    }
}

void CMyFilesData::SetSelection(std::vector<std::string> paths)
{
    m_bSelectionReady = true;
    m_Missing.clear();
    RemoveBackupItems();
    for (const std::string& path : paths)
        SelectPath(path);
}

void CMyFilesData::SelectPath(const std::string& path)
{
    const std::string spelled = TreeSpelling(path);
    struct stat st
    {
    };
    if (lstat(spelled.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        const TvTreeItem item = m_pFolders->FindFolder(spelled);
        if (item) {
            m_pFolders->CheckFolder(item, true);
            return;
        }
    } else if (lstat(spelled.c_str(), &st) == 0) {
        const std::size_t slash = spelled.find_last_of('/');
        const TvTreeItem folder =
            m_pFolders->FindFolder(slash == 0 ? "/" : spelled.substr(0, slash));
        m_pFolders->OpenFolder(folder);
        if (CFolderTreeFile* file = m_pFolders->FindFile(folder, spelled.substr(slash + 1))) {
            file->m_nState = tvcheck::kChecked;
            // The folder must count as chosen for its files to be collected.
            if (!m_pTree->IsItemCheckedOrSubChecked(folder))
                m_pTree->CheckItem(folder, tvcheck::kCheck);
            return;
        }
    }
    m_Missing.push_back(path);
}

void CMyFilesData::SaveSelection()
{
    const std::string path = g_ProjectData.GetPathInJobFolder(kSelectionName);
    if (path.empty())
        return; // no job, nowhere to keep it
    CShellSelectionFile selection(*m_pFolders);
    selection.Save(path);
}

bool CMyFilesData::LoadSelection()
{
    m_bSelectionReady = true;
    const std::string path = g_ProjectData.GetPathInJobFolder(kSelectionName);
    struct stat st
    {
    };
    // A job that never saved a selection simply has none yet.
    if (path.empty() || stat(path.c_str(), &st) != 0)
        return false;
    m_Missing.clear();
    CShellSelectionFile selection(*m_pFolders);
    return selection.Load(path) == 1;
}
