#include "FileTools.h"

#include "FdIo.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

namespace tbm {
namespace {

// A probe handle: non-blocking so a pipe never stalls us, no controlling terminal.
int OpenForProbe(const std::string& path)
{
    return open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}

bool HasConflictingRecordLock(int fd)
{
    struct flock probe
    {
    };
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = 0;
    probe.l_len = 0; // the whole file
    return fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
}

bool HasConflictingFlock(int fd)
{
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
        flock(fd, LOCK_UN);
        return false;
    }
    return errno == EWOULDBLOCK;
}

} // namespace

bool RenameFile(const std::string& from, const std::string& to)
{
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // File systems without RENAME_NOREPLACE: check first, accepting the small race.
    struct stat st
    {
    };
    if (lstat(to.c_str(), &st) == 0)
        return false;
    return rename(from.c_str(), to.c_str()) == 0;
}

std::uint32_t GetFileLength(const std::string& path)
{
    const int fd = OpenForProbe(path);
    if (fd < 0)
        return 0;
    struct stat st
    {
    };
    const bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    close(fd);
    return ok ? static_cast<std::uint32_t>(st.st_size & 0xFFFFFFFF) : 0;
}

bool IsFileInUse(const std::string& path)
{
    const int fd = OpenForProbe(path);
    if (fd < 0)
        return false;
    const bool inUse = HasConflictingRecordLock(fd) || HasConflictingFlock(fd);
    close(fd);
    return inUse;
}

bool WriteTextFile(const std::string& path, const std::string& text)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    const bool written = TvWriteAll(fd, text.data(), text.size());
    return close(fd) == 0 && written;
}

} // namespace tbm

bool tbm::WriteWholeFile(const std::string& path, const std::string& text)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    const std::string temp = path + ".new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush())
            return false;
    }
    fs::rename(temp, path, ec);
    if (ec)
        fs::remove(temp, ec);
    return !ec;
}
