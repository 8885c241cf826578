#include "WholeFile.h"

#include "FdIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <new>

namespace {

// Keeps errno of the first failure across the clean-up calls that follow it.
class CErrnoKeeper
{
public:
    void Note() { m_saved = m_saved ? m_saved : errno; }
    void Restore() const { errno = m_saved ? m_saved : EIO; }

private:
    int m_saved = 0;
};

bool ReadAll(int fd, std::vector<std::uint8_t>& bytes)
{
    std::uint8_t chunk[65536];
    for (;;) {
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        try {
            bytes.insert(bytes.end(), chunk, chunk + n);
        } catch (const std::bad_alloc&) {
            errno = ENOMEM;
            return false;
        }
    }
}

// A new file beside `target` with a short name of its own, so that even a target
// whose name has the longest length allowed gets one.
int CreateSibling(const std::string& target, std::string& siblingPath)
{
    static std::atomic<unsigned> counter{0};
    const std::size_t slash = target.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[48];
        std::snprintf(name, sizeof name, ".TVF%X-%X.tmp", static_cast<unsigned>(getpid()),
                      counter++);
        siblingPath = folder + name;
        const int fd =
            open(siblingPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

} // namespace

bool TvReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    CErrnoKeeper error;
    struct stat st
    {
    };
    std::vector<std::uint8_t> content;
    bool ok = fstat(fd, &st) == 0;
    if (ok && !S_ISREG(st.st_mode)) {
        errno = EINVAL;
        ok = false;
    }
    ok = ok && ReadAll(fd, content);
    if (!ok)
        error.Note();
    close(fd);
    if (!ok) {
        error.Restore();
        return false;
    }
    bytes.swap(content);
    return true;
}

bool TvReplaceFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::string temp;
    const int fd = CreateSibling(path, temp);
    if (fd < 0)
        return false;
    CErrnoKeeper error;
    struct stat old
    {
    };
    bool ok = true;
    if (stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        ok = fchmod(fd, old.st_mode & 07777) == 0;
    ok = ok && TvWriteAll(fd, bytes.data(), bytes.size()) && fsync(fd) == 0;
    if (!ok)
        error.Note();
    if (close(fd) != 0 && ok) {
        error.Note();
        ok = false;
    }
    if (ok && rename(temp.c_str(), path.c_str()) != 0) {
        error.Note();
        ok = false;
    }
    if (!ok) {
        unlink(temp.c_str());
        error.Restore();
    }
    return ok;
}
