#include "RegFileIo.h"

#include "FdIo.h"
#include "RegFileError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path, int error)
{
    throw CRegFileError(what + " " + path + ": " + std::strerror(error));
}

// Closes the descriptor when it goes out of scope.
class CFd
{
public:
    explicit CFd(int fd) : m_fd(fd) {}
    ~CFd()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    CFd(const CFd&) = delete;
    CFd& operator=(const CFd&) = delete;
    int Get() const { return m_fd; }
    int Release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

} // namespace

std::string RegReadFile(const std::string& path)
{
    const CFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0)
        Fail("cannot open", path, errno);
    struct stat st
    {
    };
    if (fstat(fd.Get(), &st) != 0)
        Fail("cannot read", path, errno);
    if (!S_ISREG(st.st_mode))
        throw CRegFileError("not a file: " + path);
    if (static_cast<std::size_t>(st.st_size) > kRegMaxFileSize)
        throw CRegFileError("file too large for a registry file: " + path);
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(fd.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            Fail("cannot read", path, errno);
        if (got == 0)
            return bytes;
        if (bytes.size() + static_cast<std::size_t>(got) > kRegMaxFileSize)
            throw CRegFileError("file too large for a registry file: " + path);
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

void RegWriteFileWhole(const std::string& path, std::string_view bytes)
{
    std::vector<char> name(path.begin(), path.end());
    const char suffix[] = ".XXXXXX";
    name.insert(name.end(), suffix, suffix + sizeof suffix);
    CFd fd(mkostemp(name.data(), O_CLOEXEC));
    if (fd.Get() < 0)
        Fail("cannot create a file beside", path, errno);
    const std::string temp(name.data());
    int error = 0;
    if (!TvWriteAll(fd.Get(), bytes.data(), bytes.size()) || fsync(fd.Get()) != 0)
        error = errno;
    if (close(fd.Release()) != 0 && error == 0)
        error = errno;
    if (error != 0) {
        unlink(temp.c_str());
        Fail("cannot write", path, error);
    }
    if (rename(temp.c_str(), path.c_str()) != 0) {
        const int error = errno;
        unlink(temp.c_str());
        Fail("cannot write", path, error);
    }
}
