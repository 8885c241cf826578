#include "ShellFileOpFs.h"

#include "FdIo.h"
#include "ShellFileOpError.h"
#include "ShellFileOpPath.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace tvshell {
namespace {

// Closes a descriptor on every path out of a function.
struct FileHandle
{
    int fd = -1;
    ~FileHandle()
    {
        if (fd >= 0)
            close(fd);
    }
};

// Removes a temporary file unless it was published under its real name.
struct TempGuard
{
    std::string path;
    ~TempGuard()
    {
        if (!path.empty())
            unlink(path.c_str());
    }
};

void CopyBytes(int in, int out, const std::string& source, const std::string& dest)
{
    std::unique_ptr<char[]> buffer(new char[1 << 16]);
    for (;;) {
        const ssize_t got = read(in, buffer.get(), 1 << 16);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            Fail(errno, source);
        if (got == 0)
            return;
        if (!TvWriteAll(out, buffer.get(), static_cast<std::size_t>(got)))
            Fail(errno, dest);
    }
}

void Publish(TempGuard& temp, const std::string& dest, bool replace)
{
    if (const int error = RenamePath(temp.path, dest, replace))
        Fail(error, dest);
    temp.path.clear();
}

std::string ReadLink(const std::string& source)
{
    for (std::size_t size = 256;; size *= 2) {
        std::string text(size, '\0');
        const ssize_t got = readlink(source.c_str(), text.data(), size);
        if (got < 0)
            Fail(errno, source);
        if (static_cast<std::size_t>(got) < size) {
            text.resize(static_cast<std::size_t>(got));
            return text;
        }
    }
}

} // namespace

void Fail(int error, const std::string& path)
{
    throw ShellFileOpError{error, path, false};
}

bool LStat(const std::string& path, struct stat& st)
{
    if (lstat(path.c_str(), &st) == 0)
        return true;
    if (errno == ENOENT || errno == ENOTDIR)
        return false;
    Fail(errno, path);
}

bool Exists(const std::string& path)
{
    struct stat st
    {
    };
    return LStat(path, st);
}

bool IsFolder(const struct stat& st)
{
    return S_ISDIR(st.st_mode);
}

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::vector<std::string> ListFolder(const std::string& folder)
{
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    if (!dir)
        Fail(errno, folder);
    std::vector<std::string> names;
    errno = 0;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
        errno = 0;
    }
    if (errno != 0)
        Fail(errno, folder);
    std::sort(names.begin(), names.end());
    return names;
}

void MakeFolders(const std::string& path)
{
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    if (ec)
        Fail(ec.value(), path);
    struct stat st
    {
    };
    if (stat(path.c_str(), &st) != 0)
        Fail(errno, path);
    if (!IsFolder(st))
        Fail(ENOTDIR, path);
}

int RenamePath(const std::string& from, const std::string& to, bool replace)
{
    if (replace)
        return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    // File systems without the no-replace flag: check, then rename. The window
    // between the two is small and only another writer of the same name can hit it.
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return errno;
    struct stat st
    {
    };
    if (lstat(to.c_str(), &st) == 0)
        return EEXIST;
    return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

void CopyFileData(const std::string& source, const struct stat& st, const std::string& dest,
                  bool replace)
{
    FileHandle in{open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC)};
    if (in.fd < 0)
        Fail(errno, source);
    TempGuard temp{JoinPath(ParentFolder(dest), ".tbm-copy-XXXXXX")};
    FileHandle out{mkostemp(temp.path.data(), O_CLOEXEC)};
    if (out.fd < 0) {
        temp.path.clear(); // nothing was created
        Fail(errno, dest);
    }
    CopyBytes(in.fd, out.fd, source, dest);
    const timespec times[2] = {st.st_atim, st.st_mtim};
    if (fchmod(out.fd, st.st_mode & 0777) != 0 || futimens(out.fd, times) != 0 ||
        fsync(out.fd) != 0)
        Fail(errno, dest);
    const int fd = out.fd;
    out.fd = -1;
    if (close(fd) != 0)
        Fail(errno, dest);
    Publish(temp, dest, replace);
}

void CopyLink(const std::string& source, const std::string& dest, bool replace)
{
    const std::string text = ReadLink(source);
    struct stat st
    {
    };
    if (lstat(source.c_str(), &st) != 0)
        Fail(errno, source);
    const std::string folder = ParentFolder(dest);
    TempGuard temp;
    for (unsigned attempt = 0; temp.path.empty(); ++attempt) {
        const std::string name =
            ".tbm-link-" + std::to_string(getpid()) + "-" + std::to_string(attempt);
        if (symlink(text.c_str(), JoinPath(folder, name).c_str()) == 0)
            temp.path = JoinPath(folder, name);
        else if (errno != EEXIST || attempt > 1000)
            Fail(errno, dest);
    }
    const timespec times[2] = {st.st_atim, st.st_mtim};
    // Some file systems keep no link times; the link itself is what matters.
    utimensat(AT_FDCWD, temp.path.c_str(), times, AT_SYMLINK_NOFOLLOW);
    Publish(temp, dest, replace);
}

void SetFolderAttributes(const std::string& folder, const struct stat& st)
{
    const timespec times[2] = {st.st_atim, st.st_mtim};
    if (chmod(folder.c_str(), st.st_mode & 0777) != 0 ||
        utimensat(AT_FDCWD, folder.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
        Fail(errno, folder);
}

} // namespace tvshell
