#include "TempFileName.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

std::string JoinFolder(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    if (folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

// Start numbers differ between processes and calls, so concurrent callers seldom
// collide; O_EXCL makes a collision harmless anyway.
unsigned StartNumber()
{
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    return static_cast<unsigned>((ticks ^ (static_cast<long long>(getpid()) << 8)) & 0xFFFF);
}

} // namespace

std::string TvCreateTempFileName(const std::string& folder, const std::string& prefix)
{
    const std::string head = prefix.substr(0, 3);
    const unsigned start = StartNumber();
    for (unsigned i = 0; i < 0xFFFF; ++i) {
        const unsigned number = (start + i) % 0xFFFF + 1; // 1..0xFFFF, never 0
        char hex[8];
        std::snprintf(hex, sizeof hex, "%X", number);
        const std::string path = JoinFolder(folder, head + hex + ".tmp");
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            close(fd);
            return path;
        }
        if (errno != EEXIST)
            return {};
    }
    return {};
}

std::string TvGetTempPath()
{
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? std::string(tmp) : std::string("/tmp");
}
