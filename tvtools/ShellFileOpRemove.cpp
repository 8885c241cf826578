#include "ShellFileOpRemove.h"

#include "ShellFileOpFs.h"
#include "ShellFileOpPath.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace tvshell {
namespace {

constexpr int kOpenFolder = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

std::vector<std::string> NamesIn(int folderFd, const std::string& path)
{
    // fdopendir takes the descriptor over; give it a copy so the caller's stays.
    const int copy = dup(folderFd);
    if (copy < 0)
        Fail(errno, path);
    DIR* dir = fdopendir(copy);
    if (!dir) {
        const int error = errno;
        close(copy);
        Fail(error, path);
    }
    std::vector<std::string> names;
    errno = 0;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
        errno = 0;
    }
    const int error = errno;
    closedir(dir);
    if (error != 0)
        Fail(error, path);
    return names;
}

void RemoveContents(int folderFd, const std::string& path)
{
    for (const std::string& name : NamesIn(folderFd, path)) {
        const std::string child = JoinPath(path, name);
        struct stat st
        {
        };
        if (fstatat(folderFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT)
                continue; // gone already: nothing left to delete
            Fail(errno, child);
        }
        if (S_ISDIR(st.st_mode)) {
            const int childFd = openat(folderFd, name.c_str(), kOpenFolder);
            if (childFd < 0)
                Fail(errno, child);
            try {
                RemoveContents(childFd, child);
            } catch (...) {
                close(childFd);
                throw;
            }
            close(childFd);
        }
        if (unlinkat(folderFd, name.c_str(), S_ISDIR(st.st_mode) ? AT_REMOVEDIR : 0) != 0)
            Fail(errno, child);
    }
}

} // namespace

void RemoveTree(const std::string& path)
{
    struct stat st
    {
    };
    if (!LStat(path, st))
        Fail(ENOENT, path);
    if (!S_ISDIR(st.st_mode)) {
        if (unlink(path.c_str()) != 0)
            Fail(errno, path);
        return;
    }
    const int fd = open(path.c_str(), kOpenFolder);
    if (fd < 0)
        Fail(errno, path);
    try {
        RemoveContents(fd, path);
    } catch (...) {
        close(fd);
        throw;
    }
    close(fd);
    if (rmdir(path.c_str()) != 0)
        Fail(errno, path);
}

} // namespace tvshell
