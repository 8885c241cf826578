// Preloaded into a program under test (LD_PRELOAD), this makes every read of one
// file fail with EIO from a given offset on, as a failing disk would, so that a test
// sees what a whole run does with a read error in the middle of a file.
//   TBM_READFAULT_NAME  the file's name (the last part of its path)
//   TBM_READFAULT_AT    the offset from which reads fail; reads before it stop there
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kMaxFd = 4096;
std::atomic<bool> g_faulty[kMaxFd];

bool IsFaultyPath(const char* path)
{
    static const char* const name = std::getenv("TBM_READFAULT_NAME");
    if (!name || !*name || !path)
        return false;
    const std::size_t nameLength = std::strlen(name);
    const std::size_t length = std::strlen(path);
    return length >= nameLength && std::strcmp(path + length - nameLength, name) == 0 &&
           (length == nameLength || path[length - nameLength - 1] == '/');
}

off_t FaultOffset()
{
    const char* at = std::getenv("TBM_READFAULT_AT");
    return at ? static_cast<off_t>(std::atoll(at)) : 0;
}

int Track(int fd, const char* path)
{
    if (fd >= 0 && fd < kMaxFd)
        g_faulty[fd] = IsFaultyPath(path);
    return fd;
}

template <typename Function>
Function Next(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

mode_t ModeArgument(int flags, va_list arguments)
{
    return (flags & (O_CREAT | O_TMPFILE)) != 0 ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
}

} // namespace

extern "C" {

int open(const char* path, int flags, ...)
{
    static const auto next = Next<int (*)(const char*, int, ...)>("open");
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeArgument(flags, arguments);
    va_end(arguments);
    return Track(next(path, flags, mode), path);
}

// The same function under its large-file name.
int open64(const char* path, int flags, ...) __attribute__((alias("open")));

int openat(int folder, const char* path, int flags, ...)
{
    static const auto next = Next<int (*)(int, const char*, int, ...)>("openat");
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeArgument(flags, arguments);
    va_end(arguments);
    return Track(next(folder, path, flags, mode), path);
}

ssize_t read(int fd, void* buffer, std::size_t count)
{
    static const auto next = Next<ssize_t (*)(int, void*, std::size_t)>("read");
    if (fd >= 0 && fd < kMaxFd && g_faulty[fd]) {
        static const off_t at = FaultOffset();
        const off_t position = lseek(fd, 0, SEEK_CUR);
        if (position >= at) {
            errno = EIO;
            return -1;
        }
        if (position + static_cast<off_t>(count) > at)
            count = static_cast<std::size_t>(at - position);
    }
    return next(fd, buffer, count);
}

int close(int fd)
{
    static const auto next = Next<int (*)(int)>("close");
    if (fd >= 0 && fd < kMaxFd)
        g_faulty[fd] = false;
    return next(fd);
}

} // extern "C"
