#include "FolderTree.h"

#include "CaseFold.h"
#include "CheckTreeModel.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <set>

namespace {

struct CListedEntry
{
    std::string name;
    bool folder = false;
    bool link = false;
    std::uint64_t size = 0;
};

// Names sorted as people read them (letter case aside), then byte by byte so that
// names differing only in case keep a fixed order.
bool ByName(const CListedEntry& a, const CListedEntry& b)
{
    const std::string foldedA = FoldCase(a.name);
    const std::string foldedB = FoldCase(b.name);
    return foldedA != foldedB ? foldedA < foldedB : a.name < b.name;
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

// The entries of a folder, without following links. Empty when it cannot be read.
std::vector<CListedEntry> ListFolder(const std::string& path)
{
    std::vector<CListedEntry> entries;
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    DIR* dir = fd >= 0 ? fdopendir(fd) : nullptr;
    if (!dir) {
        if (fd >= 0)
            close(fd);
        return entries;
    }
    while (const dirent* entry = readdir(dir)) {
        CListedEntry listed;
        listed.name = entry->d_name;
        if (listed.name == "." || listed.name == "..")
            continue;
        struct stat st
        {
        };
        if (fstatat(dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
            listed.folder = S_ISDIR(st.st_mode);
            listed.link = S_ISLNK(st.st_mode);
            listed.size = listed.folder ? 0 : static_cast<std::uint64_t>(st.st_size);
        }
        entries.push_back(std::move(listed));
    }
    closedir(dir);
    std::sort(entries.begin(), entries.end(), ByName);
    return entries;
}

// Files become records of the node, folders child items; both take the folder's
// checked-ness.
void AddListedEntry(CFolderTree& folders, TvTreeItem item, CFolderTreeNode& node,
                    CListedEntry& entry, bool checked)
{
    const std::string path = JoinPath(node.m_strPath, entry.name);
    if (entry.folder) {
        const TvTreeItem child = folders.AddFolder(item, entry.name, path, false);
        if (child && checked)
            folders.GetTree().CheckItem(child, tvcheck::kCheck);
        return;
    }
    CFolderTreeFile file;
    file.m_strName = std::move(entry.name);
    file.m_strPath = path;
    file.m_nState = checked ? tvcheck::kChecked : tvcheck::kUnchecked;
    file.m_nSize = entry.size;
    file.m_bLink = entry.link;
    node.m_Files.push_back(std::move(file));
}

// The names an opened folder already shows: its file records and its child folders.
std::set<std::string> KnownNames(const CFolderTree& folders, TvTreeItem item,
                                 const CFolderTreeNode& node)
{
    std::set<std::string> names;
    for (const CFolderTreeFile& file : node.m_Files)
        names.insert(file.m_strName);
    const CCheckTreeModel& tree = folders.GetTree();
    for (TvTreeItem child = tree.GetChildItem(item); child; child = tree.GetNextSiblingItem(child))
        if (const CFolderTreeNode* folder = folders.GetNode(child))
            names.insert(folder->m_strPath.substr(folder->m_strPath.find_last_of('/') + 1));
    return names;
}

} // namespace

TvTreeItem CFolderTree::AddFolder(TvTreeItem parent, const std::string& text,
                                  const std::string& path, bool restore, int state)
{
    const TvTreeItem item = m_tree.InsertItem(text, parent, kTvItemLast, state);
    if (item)
        EnsureNode(item, path, restore);
    return item;
}

CFolderTreeNode* CFolderTree::EnsureNode(TvTreeItem item, const std::string& path, bool restore)
{
    if (!m_tree.IsItem(item))
        return nullptr;
    if (CFolderTreeNode* node = GetNode(item))
        return node;
    auto node = std::make_unique<CFolderTreeNode>();
    node->m_Tag.value = reinterpret_cast<std::uintptr_t>(node.get());
    node->m_Tag.kind = kKind;
    node->m_strPath = path;
    node->m_bRestore = restore;
    node->m_bOpened = restore; // a restore folder has nothing on disk to list
    if (m_tree.GetItemData(item) == 0)
        m_tree.SetItemData(item, reinterpret_cast<std::uintptr_t>(&node->m_Tag));
    CFolderTreeNode* raw = node.get();
    m_nodes[item.id] = std::move(node);
    return raw;
}

CFolderTreeNode* CFolderTree::GetNode(TvTreeItem item) const
{
    if (!m_tree.IsItem(item))
        return nullptr;
    const auto found = m_nodes.find(item.id);
    return found == m_nodes.end() ? nullptr : found->second.get();
}

TvTreeItem CFolderTree::GetRootFolder()
{
    for (TvTreeItem item = m_tree.GetRootItem(); item; item = m_tree.GetNextSiblingItem(item)) {
        const CFolderTreeNode* node = GetNode(item);
        if (node && !node->m_bRestore && node->m_strPath == "/")
            return item;
    }
    return AddFolder({}, "/", "/", false);
}

bool CFolderTree::OpenFolder(TvTreeItem item)
{
    CFolderTreeNode* node = GetNode(item);
    if (!node || node->m_bRestore)
        return false;
    if (node->m_bOpened)
        return true;
    node->m_bOpened = true;
    const bool checked = m_tree.IsItemChecked(item);
    for (CListedEntry& entry : ListFolder(node->m_strPath))
        AddListedEntry(*this, item, *node, entry, checked);
    return true;
}

std::vector<std::string> CFolderTree::ListNewEntries(TvTreeItem item) const
{
    std::vector<std::string> paths;
    const CFolderTreeNode* node = GetNode(item);
    if (!node || node->m_bRestore || !node->m_bOpened)
        return paths;
    const std::set<std::string> known = KnownNames(*this, item, *node);
    for (const CListedEntry& entry : ListFolder(node->m_strPath))
        if (known.count(entry.name) == 0)
            paths.push_back(JoinPath(node->m_strPath, entry.name));
    return paths;
}

void CFolderTree::RefreshFolder(TvTreeItem item)
{
    CFolderTreeNode* node = GetNode(item);
    if (!node || node->m_bRestore || !node->m_bOpened)
        return;
    std::erase_if(node->m_Files, [](const CFolderTreeFile& file) {
        struct stat st
        {
        };
        return lstat(file.m_strPath.c_str(), &st) != 0;
    });
    const std::set<std::string> known = KnownNames(*this, item, *node);
    const bool checked = m_tree.IsItemChecked(item);
    for (CListedEntry& entry : ListFolder(node->m_strPath))
        if (known.count(entry.name) == 0)
            AddListedEntry(*this, item, *node, entry, checked);
}

bool CFolderTree::HasSubfolders(TvTreeItem item) const
{
    const CFolderTreeNode* node = GetNode(item);
    if (!node)
        return false;
    if (node->m_bOpened)
        return m_tree.ItemHasChildren(item);
    const std::vector<CListedEntry> entries = ListFolder(node->m_strPath);
    return std::any_of(entries.begin(), entries.end(),
                       [](const CListedEntry& entry) { return entry.folder; });
}

CFolderTreeFile* CFolderTree::FindFile(TvTreeItem item, const std::string& name) const
{
    CFolderTreeNode* node = GetNode(item);
    if (!node)
        return nullptr;
    for (CFolderTreeFile& file : node->m_Files)
        if (file.m_strName == name)
            return &file;
    return nullptr;
}

TvTreeItem CFolderTree::GetNextAfterSubtree(TvTreeItem item) const
{
    return item ? m_tree.GetNextItemEx(m_tree.GetLastItem(item)) : TvTreeItem{};
}
