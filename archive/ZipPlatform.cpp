#include "ZipPlatform.h"

#include "ZipAttributes.h"
#include "ZipDrive.h"
#include "ZipException.h"

#include "TempFileName.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>

namespace ZipPlatform {

namespace {

std::string CurrentFolder()
{
    char buffer[PATH_MAX];
    return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

bool HasRoomFor(const std::string& folder, std::uint64_t size)
{
    std::uint64_t freeBytes = 0;
    return !folder.empty() && CZipDrive::Current().GetFreeSpace(folder, freeBytes) &&
           freeBytes >= size;
}

std::uint32_t AttributesFromMode(mode_t mode)
{
    std::uint32_t attributes = (static_cast<std::uint32_t>(mode) & 0xFFFF) << 16;
    if (S_ISDIR(mode))
        attributes |= ZipAttributes::AttrDirectory;
    if (!(mode & S_IWUSR))
        attributes |= ZipAttributes::AttrReadOnly;
    return attributes;
}

// Access time "now", modification time as given (-1: now too), for utimensat/futimens.
struct ModTimes
{
    explicit ModTimes(std::time_t modified)
    {
        m_times[0].tv_nsec = UTIME_NOW;
        if (modified == static_cast<std::time_t>(-1))
            m_times[1].tv_nsec = UTIME_NOW;
        else
            m_times[1].tv_sec = modified;
    }
    struct timespec m_times[2] = {};
};

} // namespace

bool GetFileAttributes(const std::string& path, std::uint32_t& attributes)
{
    struct stat st
    {
    };
    if (stat(path.c_str(), &st) != 0)
        return false;
    attributes = AttributesFromMode(st.st_mode);
    return true;
}

bool GetLinkStatus(const std::string& path, std::uint32_t& attributes, std::time_t& modified)
{
    struct stat st
    {
    };
    if (lstat(path.c_str(), &st) != 0)
        return false;
    attributes = AttributesFromMode(st.st_mode);
    modified = st.st_mtime;
    return true;
}

namespace {

std::int64_t StampOf(const struct stat& st)
{
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

} // namespace

std::int64_t ModifiedStamp(int fd)
{
    struct stat st
    {
    };
    return fstat(fd, &st) == 0 ? StampOf(st) : -1;
}

int OpenRegularFile(const std::string& path, std::uint32_t& attributes, std::time_t& modified,
                    std::uint64_t& size, std::int64_t* stamp)
{
    // Non-blocking, so a pipe cannot hang the open; a regular file ignores it.
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat st
    {
    };
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return -1;
    }
    attributes = AttributesFromMode(st.st_mode);
    modified = st.st_mtime;
    size = static_cast<std::uint64_t>(st.st_size);
    if (stamp)
        *stamp = StampOf(st);
    return fd;
}

bool ReadLinkTarget(const std::string& path, std::string& target)
{
    // A link may be longer than PATH_MAX on some file systems: grow until it fits.
    std::string buffer(256, '\0');
    for (;;) {
        const ssize_t got = readlink(path.c_str(), buffer.data(), buffer.size());
        if (got < 0)
            return false;
        if (static_cast<std::size_t>(got) < buffer.size()) {
            buffer.resize(static_cast<std::size_t>(got));
            target = std::move(buffer);
            return true;
        }
        if (buffer.size() >= (1u << 20)) {
            errno = ENAMETOOLONG;
            return false;
        }
        buffer.resize(buffer.size() * 2);
    }
}

unsigned ModeFromAttributes(std::uint32_t attributes)
{
    unsigned mode = (attributes >> 16) & 0777;
    if ((attributes >> 16) == 0) {
        mode = ZipAttributes::IsDirectory(attributes) ? 0755 : 0644;
        if (attributes & ZipAttributes::AttrReadOnly)
            mode &= ~0222u;
    }
    return mode;
}

bool SetFileAttributes(const std::string& path, std::uint32_t attributes)
{
    return chmod(path.c_str(), static_cast<mode_t>(ModeFromAttributes(attributes))) == 0;
}

bool SetDescriptorAttributes(int fd, std::uint32_t attributes)
{
    return fchmod(fd, static_cast<mode_t>(ModeFromAttributes(attributes))) == 0;
}

bool SetDescriptorModTime(int fd, std::time_t modified)
{
    const ModTimes times(modified);
    return futimens(fd, times.m_times) == 0;
}

bool GetFileModTime(const std::string& path, std::time_t& modified)
{
    struct stat st
    {
    };
    if (stat(path.c_str(), &st) != 0)
        return false;
    modified = st.st_mtime;
    return true;
}

bool SetFileModTime(const std::string& path, std::time_t modified)
{
    const ModTimes times(modified);
    return utimensat(AT_FDCWD, path.c_str(), times.m_times, 0) == 0;
}

bool GetFileSize(const std::string& path, std::uint64_t& size)
{
    // Non-blocking, so that a pipe with the name cannot make us wait.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st
    {
    };
    const bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 0;
    const int error = ok ? 0 : (S_ISDIR(st.st_mode) ? EISDIR : errno);
    close(fd);
    if (!ok) {
        errno = error != 0 ? error : EINVAL;
        return false;
    }
    size = static_cast<std::uint64_t>(st.st_size);
    return true;
}

int FileExists(const std::string& path)
{
    struct stat st
    {
    };
    if (path.empty() || stat(path.c_str(), &st) != 0)
        return 0;
    return S_ISDIR(st.st_mode) ? -1 : 1;
}

bool ForceDirectory(const std::string& path)
{
    std::string folder = path;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    if (folder.empty())
        return false;
    if (FileExists(folder) == -1)
        return true;
    const std::size_t slash = folder.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !ForceDirectory(folder.substr(0, slash)))
        return false;
    if (CZipDrive::Current().CreateFolder(folder))
        return true;
    // Someone else may have made it in the meantime.
    return errno == EEXIST && FileExists(folder) == -1;
}

bool RemoveFile(const std::string& path, bool throwOnError)
{
    if (unlink(path.c_str()) == 0)
        return true;
    if (throwOnError)
        throw CZipException(CZipException::ErrRemove, path, errno);
    return false;
}

bool RenameFile(const std::string& from, const std::string& to, bool throwOnError, bool replace)
{
    int result = 0;
    if (replace) {
        result = rename(from.c_str(), to.c_str());
    } else {
        result = renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
        // File systems without the flag: check first (not atomic, but never replaces
        // a file that was there before we looked).
        if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
            if (FileExists(to) != 0) {
                errno = EEXIST;
            } else {
                result = rename(from.c_str(), to.c_str());
            }
        }
    }
    if (result == 0)
        return true;
    if (throwOnError)
        throw CZipException(CZipException::ErrRename, from, errno);
    return false;
}

std::string GetTempFileNameFor(std::uint64_t size)
{
    std::string folder = TvGetTempPath();
    if (!HasRoomFor(folder, size)) {
        folder = CurrentFolder();
        if (!HasRoomFor(folder, size))
            return {};
    }
    return TvCreateTempFileName(folder, "VRN");
}

bool IsDriveRemovable(const std::string& path)
{
    return CZipDrive::Current().IsRemovable(path);
}

bool SetVolumeLabel(const std::string& path, const std::string& label)
{
    return CZipDrive::Current().SetVolumeLabel(path, label);
}

} // namespace ZipPlatform
