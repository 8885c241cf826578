#include "FdIo.h"

#include <unistd.h>

#include <cerrno>

bool TvWriteAll(int fd, const void* data, std::size_t size)
{
    const char* next = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = write(fd, next, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        next += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}
