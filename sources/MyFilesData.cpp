#include "MyFilesData.h"

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

} // namespace

CMyFilesData::CMyFilesData() : CBackupMangerSource(kCatalogueName) {}

int CMyFilesData::Collect(std::string& catalogueName)
{
    m_ItemList.RemoveAll();
    m_Exclusions.Set(g_ProjectData.GetOutputPath(), g_ProjectData.GetWorkFolderPath());
    for (const std::string& path : m_Selection) {
        const int code = CollectPath(path);
        if (code != result::kSuccess && code != result::kSkip)
            return code;
    }
    if (!WriteCatalogue(kCatalogueName)) {
        WriteLog("Fail to create or open %s file", kCatalogueName);
        return result::kReadError;
    }
    catalogueName = kCatalogueName;
    return result::kSuccess;
}

int CMyFilesData::CollectPath(const std::string& path)
{
    if (IsStopRequested())
        return result::kAbortScan;
    struct stat st
    {
    };
    if (lstat(path.c_str(), &st) != 0)
        return AddMyFile(path, false); // the file check asks the user about it
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
    if (S_ISLNK(st.st_mode)) {
        Log("Symbolic link not followed, not backed up: " + path);
        return result::kSuccess;
    }
    if (!S_ISREG(st.st_mode)) {
        Log(std::string("Skipped ") + KindText(st.st_mode) + ": " + path);
        return result::kSuccess;
    }
    return PassesFilter(path, g_ProjectData) ? AddMyFile(path, false) : result::kSuccess;
}

int CMyFilesData::WalkFolder(const std::string& folder)
{
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    std::unique_ptr<DIR, DirCloser> dir(fd >= 0 ? fdopendir(fd) : nullptr);
    if (!dir) {
        if (fd >= 0)
            close(fd);
        return AddMyFile(folder, true); // unreadable folder: the user decides
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
    if (names.empty())
        return AddMyFile(folder, true); // keeps the empty folder
    for (const std::string& name : names) {
        if (IsStopRequested())
            return result::kAbortScan;
        const std::string path = JoinPath(folder, name);
        struct stat st
        {
        };
        if (fstatat(dirfd(dir.get()), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            const int code = AddMyFile(path, false);
            if (code == result::kCancel || code == result::kAbortScan)
                return code;
            continue;
        }
        int code = result::kSuccess;
        if (S_ISDIR(st.st_mode)) {
            if (!m_Exclusions.IsExcludedFolder(st.st_dev, st.st_ino))
                code = WalkFolder(path);
        } else if (m_Exclusions.IsExcludedFile(self.st_dev, self.st_ino, name, st.st_dev,
                                               st.st_ino)) {
            continue;
        } else if (S_ISLNK(st.st_mode)) {
            Log("Symbolic link not followed, not backed up: " + path);
        } else if (!S_ISREG(st.st_mode)) {
            Log(std::string("Skipped ") + KindText(st.st_mode) + ": " + path);
        } else if (PassesFilter(name, g_ProjectData)) {
            code = AddMyFile(path, false);
        }
        if (code == result::kCancel || code == result::kAbortScan)
            return code;
    }
    return result::kSuccess;
}

int CMyFilesData::AddMyFile(const std::string& path, bool directory)
{
    const int code = CheckFileLoop(path);
    if (code != result::kSuccess)
        return code;
    auto info = std::make_unique<CAddInfo>(path, kKind);
    info->m_strEntryName = GetEntryName(path);
    info->m_strTreePath = GetTreePath(path);
    if (directory) {
        info->m_dwDirectory = 1;
        info->m_dwSize = 0;
    }
    m_ItemList.Add(std::move(info));
    return result::kSuccess;
}
