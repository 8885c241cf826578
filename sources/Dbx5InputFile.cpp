#include "Dbx5InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

CDbx5InputFile::~CDbx5InputFile()
{
    Close();
}

bool CDbx5InputFile::Open(const std::string& path)
{
    Close();
    // Non-blocking, so that opening a FIFO returns at once and can be refused.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st
    {
    };
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return false;
    }
    m_fd = fd;
    m_size = static_cast<std::uint64_t>(st.st_size);
    m_device = st.st_dev;
    m_inode = st.st_ino;
    return true;
}

void CDbx5InputFile::Close()
{
    if (m_fd >= 0)
        close(m_fd);
    m_fd = -1;
    m_size = 0;
}

bool CDbx5InputFile::ReadAt(std::uint64_t offset, void* data, std::size_t length) const
{
    if (m_fd < 0 || offset > m_size || length > m_size - offset)
        return false;
    auto* out = static_cast<unsigned char*>(data);
    while (length > 0) {
        const ssize_t n = pread(m_fd, out, length, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false; // the file shrank under us, or a read error
        out += n;
        offset += static_cast<std::uint64_t>(n);
        length -= static_cast<std::size_t>(n);
    }
    return true;
}
