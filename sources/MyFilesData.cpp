#include "MyFilesData.h"

#include "CheckTreeModel.h"
#include "ProjectData.h"
#include "ResultCodes.h"
#include "WriteLog.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

namespace {

struct DirCloser
{
    void operator()(DIR* dir) const { closedir(dir); }
};

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

const char* KindText(mode_t mode)
{
    if (S_ISFIFO(mode))
        return "named pipe";
    if (S_ISSOCK(mode))
        return "socket";
    return "device";
}

// 0 and 8 (skipped) let the collection go on; anything else ends it.
bool GoesOn(int code)
{
    return code == result::kSuccess || code == result::kSkip;
}

} // namespace

CMyFilesData::CMyFilesData() : CBackupMangerSource(kCatalogueName)
{
    SetTree(nullptr);
}

CMyFilesData::~CMyFilesData() = default;

void CMyFilesData::SetTree(CCheckTreeModel* tree)
{
    if (!tree) {
        m_pOwnTree = std::make_unique<CCheckTreeModel>();
        tree = m_pOwnTree.get();
    } else {
        m_pOwnTree.reset();
    }
    m_pFolders.reset();
    m_pTree = tree;
    m_pFolders = std::make_unique<CFolderTree>(*m_pTree);
    m_RestoreItems.clear();
}

void CMyFilesData::Reset()
{
    CBackupMangerSource::Reset();
    m_Target.Clear();
}

int CMyFilesData::Collect(std::string& catalogueName)
{
    m_ItemList.RemoveAll();
    m_EntryNames.clear();
    m_Exclusions.Set(g_ProjectData.GetOutputPath(), g_ProjectData.GetWorkFolderPath());
    if (!m_bSelectionReady)
        LoadSelection();
    TvTreeItem item = m_pTree->GetRootItem();
    while (item) {
        const CFolderTreeNode* node = m_pFolders->GetNode(item);
        if (!node || node->m_bRestore || !m_pTree->IsItemCheckedOrSubChecked(item)) {
            item = m_pTree->GetNextItemEx(item);
            continue;
        }
        if (IsStopRequested())
            return result::kAbortScan;
        // The work folder and everything opened below it stay out.
        if (IsExcludedFolderPath(node->m_strPath)) {
            item = m_pFolders->GetNextAfterSubtree(item);
            continue;
        }
        const int code = CollectItem(item, *node);
        if (!GoesOn(code))
            return code;
        item = m_pTree->GetNextItemEx(item);
    }
    for (const std::string& path : m_Missing) {
        const int code = CollectPath(path);
        if (!GoesOn(code))
            return code;
    }
    if (!WriteCatalogue(kCatalogueName)) {
        WriteLog("Fail to create or open %s file", kCatalogueName);
        return result::kReadError;
    }
    catalogueName = kCatalogueName;
    return result::kSuccess;
}

int CMyFilesData::CollectItem(TvTreeItem item, const CFolderTreeNode& node)
{
    // Never opened: the folder is taken whole, as it is on disk now.
    if (node.m_Files.empty() && !m_pTree->ItemHasChildren(item))
        return CollectPath(node.m_strPath);
    if (IsChosenFolder(item, node)) {
        const int code = AddMyFile(node.m_strPath, EntryType::Folder);
        if (!GoesOn(code))
            return code;
    }
    for (const CFolderTreeFile& file : node.m_Files) {
        if (!file.IsChecked())
            continue;
        if (IsStopRequested())
            return result::kAbortScan;
        const int code = CollectPath(file.m_strPath);
        if (!GoesOn(code))
            return code;
    }
    return CollectNewEntries(item);
}

// The folder was listed when the user opened it; what was made in it since is part
// of a checked folder all the same.
int CMyFilesData::CollectNewEntries(TvTreeItem item)
{
    if (!m_pTree->IsItemChecked(item))
        return result::kSuccess;
    for (const std::string& path : m_pFolders->ListNewEntries(item)) {
        const int code = CollectPath(path);
        if (!GoesOn(code))
            return code;
    }
    return result::kSuccess;
}

// An opened folder is part of the selection when it holds checked files, or when it
// holds no files at all, is checked and lies in a chosen folder. A checked item alone
// proves nothing: checking "data" checks a parent whose only child it is, and such a
// folder on the way to the chosen ones ("/home" for "~/Documents") gets no entry, so
// restoring to the original place never touches its mode or time.
bool CMyFilesData::IsChosenFolder(TvTreeItem item, const CFolderTreeNode& node) const
{
    const CFolderTreeNode* folder = &node;
    for (;;) {
        if (std::any_of(folder->m_Files.begin(), folder->m_Files.end(),
                        [](const CFolderTreeFile& file) { return file.IsChecked(); }))
            return true;
        if (!folder->m_Files.empty() || !m_pTree->IsItemChecked(item))
            return false;
        item = m_pTree->GetParentItem(item);
        folder = m_pFolders->GetNode(item);
        if (!folder)
            return false;
    }
}

bool CMyFilesData::IsExcludedFolderPath(const std::string& path) const
{
    struct stat st
    {
    };
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
           m_Exclusions.IsExcludedFolder(st.st_dev, st.st_ino);
}

int CMyFilesData::CollectPath(const std::string& path)
{
    if (IsStopRequested())
        return result::kAbortScan;
    struct stat st
    {
    };
    if (lstat(path.c_str(), &st) != 0)
        return AddMyFile(path, EntryType::File); // the file check asks the user about it
    const std::size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    struct stat parent
    {
    };
    const bool hasParent = stat(folder.c_str(), &parent) == 0;
    if (S_ISDIR(st.st_mode)) {
        if (m_Exclusions.IsExcludedFolder(st.st_dev, st.st_ino))
            return result::kSuccess;
        return WalkFolder(path);
    }
    if (hasParent && m_Exclusions.IsExcludedFile(parent.st_dev, parent.st_ino,
                                                 path.substr(slash + 1), st.st_dev, st.st_ino))
        return result::kSuccess;
    if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) {
        Log(std::string("Skipped ") + KindText(st.st_mode) + ": " + path);
        return result::kSuccess;
    }
    if (!PassesFilter(path, g_ProjectData))
        return result::kSuccess;
    return AddMyFile(path, S_ISLNK(st.st_mode) ? EntryType::Link : EntryType::File);
}

int CMyFilesData::WalkFolder(const std::string& folder)
{
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    std::unique_ptr<DIR, DirCloser> dir(fd >= 0 ? fdopendir(fd) : nullptr);
    if (!dir) {
        if (fd >= 0)
            close(fd);
        return AddMyFile(folder, EntryType::Folder); // unreadable folder: the user decides
    }
    struct stat self
    {
    };
    fstat(dirfd(dir.get()), &self);
    std::vector<std::string> names;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    // A fixed order makes two backups of the same tree alike.
    std::sort(names.begin(), names.end());
    // Every folder gets an entry of its own, ahead of its contents, so a restore
    // gives it back its mode and time, empty or not.
    if (const int code = AddMyFile(folder, EntryType::Folder, &self); !GoesOn(code))
        return code;
    for (const std::string& name : names) {
        if (IsStopRequested())
            return result::kAbortScan;
        const std::string path = JoinPath(folder, name);
        struct stat st
        {
        };
        int code = result::kSuccess;
        if (fstatat(dirfd(dir.get()), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            code = AddMyFile(path, EntryType::File);
        } else if (S_ISDIR(st.st_mode)) {
            if (!m_Exclusions.IsExcludedFolder(st.st_dev, st.st_ino))
                code = WalkFolder(path);
        } else if (m_Exclusions.IsExcludedFile(self.st_dev, self.st_ino, name, st.st_dev,
                                               st.st_ino)) {
            continue;
        } else if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) {
            Log(std::string("Skipped ") + KindText(st.st_mode) + ": " + path);
        } else if (PassesFilter(name, g_ProjectData)) {
            code = AddMyFile(path, S_ISLNK(st.st_mode) ? EntryType::Link : EntryType::File, &st);
        }
        if (code == result::kCancel || code == result::kAbortScan)
            return code;
    }
    return result::kSuccess;
}

int CMyFilesData::AddMyFile(const std::string& path, EntryType type, const struct stat* known)
{
    std::string entryName = GetEntryName(path);
    // A folder's entry name is the archive's, with its closing separator: that is the
    // name a restore or an update run looks it up by. The root has no name to store.
    if (type == EntryType::Folder) {
        if (entryName.empty())
            return result::kSuccess;
        entryName += '\\';
    }
    // One entry per name, whichever way the collection reached it.
    if (!m_EntryNames.insert(entryName).second)
        return result::kSuccess;
    const int code = CheckFileLoop(path, known);
    if (code != result::kSuccess) {
        m_EntryNames.erase(entryName);
        return code;
    }
    auto info = known ? std::make_unique<CAddInfo>(path, kKind, S_ISDIR(known->st_mode),
                                                   static_cast<std::uint64_t>(known->st_size))
                      : std::make_unique<CAddInfo>(path, kKind);
    info->m_strEntryName = entryName;
    info->m_strTreePath = GetTreePath(path);
    if (type == EntryType::Folder) {
        info->m_dwDirectory = 1;
        info->m_dwSize = 0;
    } else if (type == EntryType::Link && !known) {
        // The link itself, not what it points at: the archive stores its target.
        struct stat st
        {
        };
        info->m_dwDirectory = 0;
        info->m_dwSize = lstat(path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    }
    m_ItemList.Add(std::move(info));
    return result::kSuccess;
}
