#include "FolderTree.h"

#include "PathComponents.h"

#include "CheckTreeModel.h"
#include "XdgFolders.h"

#include <climits>
#include <cstdlib>
#include <vector>

std::string CFolderTree::NormalPath(const std::string& path)
{
    if (path.empty() || path[0] != '/')
        return {};
    std::string normal;
    for (const std::string& part : SplitPathComponents(path, false))
        normal += "/" + part;
    return normal.empty() ? "/" : normal;
}

TvTreeItem CFolderTree::FindFolder(const std::string& path)
{
    const std::string normal = NormalPath(path);
    if (normal.empty())
        return {};
    TvTreeItem item = GetRootFolder();
    for (const std::string& part : SplitPathComponents(normal, false)) {
        if (!OpenFolder(item))
            return {};
        TvTreeItem child = m_tree.GetChildItem(item);
        while (child && !(GetNode(child) && m_tree.GetItemText(child) == part))
            child = m_tree.GetNextSiblingItem(child);
        if (!child)
            return {};
        item = child;
    }
    return item;
}

TvTreeItem CFolderTree::ShowHomeFolder()
{
    const std::string home = CXdgFolders::Home();
    if (home.empty())
        return {};
    // The folder's own spelling: a home below a linked folder (/home -> /var/home)
    // is reached along its real path, since links are not opened.
    char real[PATH_MAX];
    return FindFolder(realpath(home.c_str(), real) ? std::string(real) : home);
}
