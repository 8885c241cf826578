#include "ZipRealDrive.h"

#include "ZipFile.h"
#include "ZipMountTable.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <limits>

namespace {

std::string RealPath(const std::string& path)
{
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

std::string Parent(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool StatFileSystem(const std::string& path, struct statvfs& info)
{
    const std::string existing = CZipRealDrive::ResolveExisting(path);
    return !existing.empty() && statvfs(existing.c_str(), &info) == 0;
}

std::uint64_t Multiply(std::uint64_t a, std::uint64_t b)
{
    std::uint64_t product = 0;
    return __builtin_mul_overflow(a, b, &product) ? std::numeric_limits<std::uint64_t>::max()
                                                  : product;
}

std::string ReadFirstLine(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

// udev writes unusual characters of a label as \xHH.
std::string UnescapeUdev(const std::string& name)
{
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name.compare(i, 2, "\\x") == 0 && i + 3 < name.size() &&
            std::isxdigit(static_cast<unsigned char>(name[i + 2])) &&
            std::isxdigit(static_cast<unsigned char>(name[i + 3]))) {
            out += static_cast<char>(std::strtol(name.substr(i + 2, 2).c_str(), nullptr, 16));
            i += 3;
        } else {
            out += name[i];
        }
    }
    return out;
}

} // namespace

std::string CZipRealDrive::ResolveExisting(const std::string& path)
{
    std::string current = path.empty() ? std::string(".") : path;
    for (int depth = 0; depth < 4096; ++depth) {
        const std::string resolved = RealPath(current);
        if (!resolved.empty())
            return resolved;
        const std::string parent = Parent(current);
        if (parent == current)
            break;
        current = parent;
    }
    return {};
}

bool CZipRealDrive::GetFreeSpace(const std::string& path, std::uint64_t& freeBytes) const
{
    struct statvfs info
    {
    };
    if (!StatFileSystem(path, info))
        return false;
    freeBytes = Multiply(info.f_bavail, info.f_frsize);
    return true;
}

bool CZipRealDrive::GetTotalSize(const std::string& path, std::uint64_t& totalBytes) const
{
    struct statvfs info
    {
    };
    if (!StatFileSystem(path, info))
        return false;
    totalBytes = Multiply(info.f_blocks, info.f_frsize);
    return true;
}

bool CZipRealDrive::IsRemovable(const std::string& path) const
{
    const CZipMountTable table = CZipMountTable::ReadCurrent();
    const CZipMountTable::Entry* mount = table.FindMount(ResolveExisting(path));
    if (!mount || mount->major == 0)
        return false; // virtual file systems (tmpfs, proc, ...) are never removable
    std::string device = RealPath("/sys/dev/block/" + std::to_string(mount->major) + ":" +
                                  std::to_string(mount->minor));
    if (device.empty())
        return false;
    if (access((device + "/partition").c_str(), F_OK) == 0)
        device = Parent(device);
    return ReadFirstLine(device + "/removable") == "1";
}

std::string CZipRealDrive::GetRoot(const std::string& path) const
{
    const CZipMountTable table = CZipMountTable::ReadCurrent();
    const CZipMountTable::Entry* mount = table.FindMount(ResolveExisting(path));
    return mount ? mount->mountPoint : std::string("/");
}

bool CZipRealDrive::GetVolumeLabel(const std::string& path, std::string& label) const
{
    const CZipMountTable table = CZipMountTable::ReadCurrent();
    const CZipMountTable::Entry* mount = table.FindMount(ResolveExisting(path));
    if (!mount)
        return false;
    const std::string device = RealPath(mount->source);
    if (device.empty())
        return false;
    const std::string folder = "/dev/disk/by-label";
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return false;
    bool found = false;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != ".." && RealPath(folder + "/" + name) == device) {
            label = UnescapeUdev(name);
            found = true;
            break;
        }
    }
    closedir(dir);
    return found;
}

bool CZipRealDrive::SetVolumeLabel(const std::string&, const std::string&)
{
    errno = ENOTSUP;
    return false;
}

bool CZipRealDrive::CreateFolder(const std::string& path)
{
    return mkdir(path.c_str(), 0777) == 0;
}

std::unique_ptr<CZipStream> CZipRealDrive::OpenFile(const std::string& path, unsigned flags,
                                                    bool throwOnError)
{
    auto file = std::make_unique<CZipFile>();
    if (!file->Open(path, flags, throwOnError))
        return nullptr;
    return file;
}
