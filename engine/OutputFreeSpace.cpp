#include "OutputFreeSpace.h"

#include <sys/statvfs.h>

// TODO(drive interface): ask the archive layer's drive interface once it is here.
std::uint64_t GetFolderFreeSpace(const std::string& folder)
{
    // A folder that does not exist yet lies on the file system of its nearest parent.
    std::string path = folder.empty() ? std::string(".") : folder;
    struct statvfs fs
    {
    };
    while (statvfs(path.c_str(), &fs) != 0) {
        const std::size_t slash = path.find_last_of('/');
        if (slash == std::string::npos || path == "/")
            return 0;
        path = slash == 0 ? "/" : path.substr(0, slash);
    }
    return static_cast<std::uint64_t>(fs.f_bavail) * fs.f_frsize;
}
