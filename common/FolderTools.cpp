#include "FolderTools.h"

#include "TempFileName.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace tbm {
namespace {

// How often CreateTempFolder draws a new name after finding it taken.
constexpr int kTempFolderAttempts = 100;

bool IsFolder(const std::string& path)
{
    struct stat st
    {
    };
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string WithoutTrailingSlash(const std::string& path)
{
    if (path.size() > 1 && path.back() == '/')
        return path.substr(0, path.size() - 1);
    return path;
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

bool MatchesPattern(const std::string& pattern, const std::string& name)
{
    return pattern == "*.*" || fnmatch(pattern.c_str(), name.c_str(), 0) == 0;
}

// Kind of a directory entry, following symbolic links: 'd' folder, 'f' regular
// file, '?' anything else (devices, pipes, dangling links).
char EntryKind(int dirFd, const char* name)
{
    struct stat st
    {
    };
    if (fstatat(dirFd, name, &st, 0) != 0)
        return '?';
    return S_ISDIR(st.st_mode) ? 'd' : S_ISREG(st.st_mode) ? 'f' : '?';
}

bool IsDotOrDotDot(const char* name)
{
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

bool RemoveTreeBelow(int dirFd);

// Removes one entry of an open folder without following a symbolic link.
bool RemoveEntry(int dirFd, const char* name)
{
    struct stat st
    {
    };
    if (fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    if (!S_ISDIR(st.st_mode))
        return unlinkat(dirFd, name, 0) == 0;
    const int childFd = openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (childFd < 0)
        return false;
    const bool emptied = RemoveTreeBelow(childFd); // closes childFd
    return unlinkat(dirFd, name, AT_REMOVEDIR) == 0 && emptied;
}

// Removes everything inside the open folder; takes over and closes `dirFd`.
bool RemoveTreeBelow(int dirFd)
{
    DIR* dir = fdopendir(dirFd);
    if (!dir) {
        close(dirFd);
        return false;
    }
    bool ok = true;
    std::vector<std::string> names;
    while (const dirent* entry = readdir(dir)) {
        if (!IsDotOrDotDot(entry->d_name))
            names.emplace_back(entry->d_name);
    }
    // Entries are removed after the listing ends: removing while reading may skip some.
    for (const std::string& name : names)
        ok = RemoveEntry(dirfd(dir), name.c_str()) && ok;
    closedir(dir);
    return ok;
}

} // namespace

int CreateFolderPath(const std::string& path, mode_t mode)
{
    const std::string folder = WithoutTrailingSlash(path);
    if (folder.empty() || IsFolder(folder))
        return -1;
    const std::size_t slash = folder.rfind('/');
    if (slash != std::string::npos && slash > 0) {
        const std::string parent = folder.substr(0, slash);
        if (!IsFolder(parent))
            CreateFolderPath(parent, mode);
    }
    return mkdir(folder.c_str(), mode) == 0 ? 0 : -1;
}

std::string CreateTempFolder(const std::string& parent)
{
    const std::string base = parent.empty() ? TvGetTempPath() : parent;
    // Temporary files stay until the end, so no number is drawn twice meanwhile.
    std::vector<std::string> files;
    std::string result;
    for (int attempt = 0; attempt < kTempFolderAttempts && result.empty(); ++attempt) {
        const std::string file = TvCreateTempFileName(base, "OL3");
        if (file.empty())
            break;
        files.push_back(file);
        const std::string folder = file.substr(0, file.rfind('.')) + "Temp";
        if (mkdir(folder.c_str(), 0700) == 0)
            result = folder;
        else if (errno != EEXIST)
            break;
    }
    for (const std::string& file : files)
        unlink(file.c_str());
    return result;
}

bool ListFolder(const std::string& folder, const std::string& pattern, bool usePattern,
                std::vector<std::string>& names)
{
    names.clear();
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return false;
    bool anyMatch = false;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (usePattern) {
            if (!MatchesPattern(pattern, name))
                continue;
            anyMatch = true;
            if (name[0] != '.' && EntryKind(dirfd(dir), name.c_str()) == 'f')
                names.push_back(name);
        } else if (!IsDotOrDotDot(name.c_str()) && EntryKind(dirfd(dir), name.c_str()) == 'd') {
            names.push_back(name);
        }
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return !usePattern || anyMatch;
}

bool ListFiles(const std::string& folder, std::vector<std::string>& names)
{
    return ListFolder(folder, "*.*", true, names);
}

bool DeleteFolderFiles(const std::string& folder)
{
    std::vector<std::string> names;
    ListFiles(folder, names);
    bool ok = true;
    for (const std::string& name : names)
        ok = unlink(JoinPath(folder, name).c_str()) == 0 && ok;
    return ok;
}

bool DeleteFolderTree(const std::string& folder)
{
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    return RemoveTreeBelow(fd);
}

} // namespace tbm
