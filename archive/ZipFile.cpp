#include "ZipFile.h"

#include "FdIo.h"
#include "ZipException.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <limits>

namespace {

constexpr std::int64_t kMaxPosition = std::numeric_limits<off_t>::max();

int OpenFlagsFor(unsigned flags)
{
    const unsigned access = flags & 3;
    int oflags = access == CZipStream::OpenWrite       ? O_WRONLY
                 : access == CZipStream::OpenReadWrite ? O_RDWR
                                                       : O_RDONLY;
    if (flags & CZipStream::OpenCreate)
        oflags |= O_CREAT;
    // Non-blocking only for the open itself, so a pipe cannot hang us before the
    // regular-file check below refuses it.
    return oflags | O_CLOEXEC | O_NONBLOCK;
}

// 0, or the error number that refuses this descriptor as an archive file.
int CheckRegularFile(int fd)
{
    struct stat st
    {
    };
    if (fstat(fd, &st) != 0)
        return errno;
    if (S_ISDIR(st.st_mode))
        return EISDIR;
    return S_ISREG(st.st_mode) ? 0 : EINVAL;
}

int Lock(int fd, unsigned flags)
{
    if (!(flags & CZipStream::ShareDenyWrite))
        return 0;
    const int operation = (flags & 3) == CZipStream::OpenRead ? LOCK_SH : LOCK_EX;
    while (flock(fd, operation | LOCK_NB) != 0) {
        if (errno != EINTR)
            return errno == EWOULDBLOCK ? EBUSY : errno;
    }
    return 0;
}

} // namespace

CZipFile::~CZipFile()
{
    Close();
}

// The descriptor, or -1 with errno set.
int CZipFile::OpenDescriptor(const std::string& path, unsigned flags)
{
    const int fd = open(path.c_str(), OpenFlagsFor(flags), 0600);
    if (fd < 0)
        return -1;
    int error = CheckRegularFile(fd);
    if (error == 0 && fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
        error = errno;
    if (error == 0)
        error = Lock(fd, flags);
    if (error == 0 && (flags & OpenCreate) && !(flags & OpenNoTruncate) && ftruncate(fd, 0) != 0)
        error = errno;
    if (error != 0) {
        close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

bool CZipFile::Open(const std::string& path, unsigned flags, bool throwOnError)
{
    Close();
    const int fd = OpenDescriptor(path, flags);
    if (fd < 0) {
        if (throwOnError)
            throw CZipException::FromErrno(errno, path);
        return false;
    }
    m_fd = fd;
    m_path = path;
    m_position = 0;
    m_positionKnown = true;
    return true;
}

void CZipFile::Close()
{
    if (m_fd < 0)
        return;
    // Closing releases the lock. Errors of close itself cannot be acted upon here;
    // callers that need durability call Flush first, which reports them.
    close(m_fd);
    m_fd = -1;
    m_path.clear();
    m_positionKnown = false;
}

void CZipFile::Fail(int error) const
{
    throw CZipException::FromErrno(error != 0 ? error : EIO, m_path);
}

void CZipFile::RequireOpen() const
{
    if (m_fd < 0)
        Fail(EBADF);
}

void CZipFile::Flush()
{
    RequireOpen();
    if (fsync(m_fd) != 0 && errno != EINVAL)
        Fail(errno);
}

// The position is kept here, so asking for it costs no system call; after a
// failed read or write it is asked of the system again.
std::uint64_t CZipFile::GetPosition() const
{
    RequireOpen();
    if (!m_positionKnown) {
        const off_t position = lseek(m_fd, 0, SEEK_CUR);
        if (position < 0)
            Fail(errno);
        m_position = static_cast<std::uint64_t>(position);
        m_positionKnown = true;
    }
    return m_position;
}

std::uint64_t CZipFile::Seek(std::int64_t offset, SeekOrigin origin)
{
    RequireOpen();
    // The base is found without moving, so a refused seek leaves the position alone.
    std::int64_t base = 0;
    if (origin == FromCurrent)
        base = static_cast<std::int64_t>(GetPosition());
    else if (origin == FromEnd)
        base = static_cast<std::int64_t>(GetLength());
    if (offset > kMaxPosition - base)
        Fail(EFBIG);
    if (offset < -base)
        Fail(EINVAL);
    if (m_positionKnown && m_position == static_cast<std::uint64_t>(base + offset))
        return m_position; // there already: no system call
    if (lseek(m_fd, base + offset, SEEK_SET) < 0) {
        m_positionKnown = false;
        Fail(errno);
    }
    m_position = static_cast<std::uint64_t>(base + offset);
    m_positionKnown = true;
    return m_position;
}

std::uint64_t CZipFile::GetLength() const
{
    RequireOpen();
    struct stat st
    {
    };
    if (fstat(m_fd, &st) != 0)
        Fail(errno);
    return static_cast<std::uint64_t>(st.st_size);
}

void CZipFile::SetLength(std::uint64_t length)
{
    RequireOpen();
    if (length > static_cast<std::uint64_t>(kMaxPosition))
        Fail(EFBIG);
    if (ftruncate(m_fd, static_cast<off_t>(length)) != 0)
        Fail(errno);
    if (GetPosition() > length) {
        m_positionKnown = false;
        if (lseek(m_fd, static_cast<off_t>(length), SEEK_SET) < 0)
            Fail(errno);
        m_position = length;
        m_positionKnown = true;
    }
}

std::uint32_t CZipFile::Read(void* buffer, std::uint32_t count)
{
    RequireOpen();
    auto* out = static_cast<char*>(buffer);
    std::uint32_t done = 0;
    while (done < count) {
        const ssize_t got = read(m_fd, out + done, count - done);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            m_positionKnown = false;
            Fail(errno);
        }
        done += static_cast<std::uint32_t>(got);
    }
    m_position += done;
    return done;
}

void CZipFile::Write(const void* buffer, std::uint32_t count)
{
    RequireOpen();
    if (count == 0)
        return;
    const std::uint64_t position = GetPosition();
    if (position > static_cast<std::uint64_t>(kMaxPosition - static_cast<std::int64_t>(count)))
        Fail(EFBIG);
    errno = 0;
    if (!TvWriteAll(m_fd, buffer, count)) {
        // Part of it may be written: the position is asked for again.
        const int error = errno;
        m_positionKnown = false;
        Fail(error);
    }
    m_position = position + count;
}
