#include "ZipSimulatedDrive.h"

#include "ZipException.h"
#include "ZipFile.h"
#include "ZipRealDrive.h"
#include "ZipSimulatedDiskFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string Absolute(const std::string& path)
{
    std::error_code ec;
    const fs::path absolute = fs::absolute(path, ec);
    return (ec ? fs::path(path) : absolute).lexically_normal().string();
}

bool IsUnder(const std::string& path, const std::string& root)
{
    return path.compare(0, root.size(), root) == 0 &&
           (path.size() == root.size() || path[root.size()] == '/');
}

bool Writes(unsigned flags)
{
    return (flags & 3) != CZipStream::OpenRead || (flags & CZipStream::OpenCreate);
}

} // namespace

CZipSimulatedDrive::CZipSimulatedDrive(std::string storeFolder, CZipDrive* fallback)
    : m_storeFolder(Absolute(storeFolder)), m_fallback(fallback)
{
    static CZipRealDrive realDrive;
    if (!m_fallback)
        m_fallback = &realDrive;
    fs::create_directories(m_storeFolder);
}

int CZipSimulatedDrive::AddMount(const std::string& mountPath, bool removable)
{
    m_mounts.push_back({Absolute(mountPath), removable, -1});
    Insert(static_cast<int>(m_mounts.size()) - 1, -1);
    return static_cast<int>(m_mounts.size()) - 1;
}

int CZipSimulatedDrive::AddDisk(std::uint64_t capacity, const std::string& label)
{
    const std::string folder = m_storeFolder + "/disk" + std::to_string(m_disks.size());
    fs::create_directories(folder);
    m_disks.push_back({folder, capacity, label, false, false});
    return static_cast<int>(m_disks.size()) - 1;
}

void CZipSimulatedDrive::Insert(int mount, int disk)
{
    Mount& m = m_mounts.at(static_cast<std::size_t>(mount));
    const std::string target =
        disk < 0 ? m_storeFolder + "/no-disk" : m_disks.at(static_cast<std::size_t>(disk)).folder;
    std::error_code ec;
    fs::remove(m.path, ec);
    fs::create_directory_symlink(target, m.path);
    m.disk = disk;
}

std::uint64_t CZipSimulatedDrive::GetUsedBytes(int disk) const
{
    std::uint64_t used = 0;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(
             m_disks.at(static_cast<std::size_t>(disk)).folder, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        std::error_code sizeError;
        if (it->is_regular_file(sizeError))
            used += it->file_size(sizeError);
    }
    return used;
}

std::uint64_t CZipSimulatedDrive::GetFreeBytes(int disk) const
{
    const std::uint64_t used = GetUsedBytes(disk);
    const std::uint64_t capacity = m_disks.at(static_cast<std::size_t>(disk)).capacity;
    return used < capacity ? capacity - used : 0;
}

// By the mount's path, or by the folder of the disk inserted there (paths that went
// through realpath or getcwd lead into the disk folders).
const CZipSimulatedDrive::Mount* CZipSimulatedDrive::FindMount(const std::string& path) const
{
    const std::string absolute = Absolute(path);
    for (const Mount& mount : m_mounts) {
        if (IsUnder(absolute, mount.path))
            return &mount;
        if (mount.disk >= 0 &&
            IsUnder(absolute, m_disks[static_cast<std::size_t>(mount.disk)].folder))
            return &mount;
    }
    return nullptr;
}

CZipSimulatedDrive::Disk* CZipSimulatedDrive::FindDisk(const std::string& path, const Mount*& mount)
{
    mount = FindMount(path);
    if (!mount)
        return nullptr;
    if (mount->disk < 0) {
        errno = ENOENT;
        return nullptr;
    }
    return &m_disks[static_cast<std::size_t>(mount->disk)];
}

const CZipSimulatedDrive::Disk* CZipSimulatedDrive::FindDisk(const std::string& path) const
{
    const Mount* mount = FindMount(path);
    return mount && mount->disk >= 0 ? &m_disks[static_cast<std::size_t>(mount->disk)] : nullptr;
}

bool CZipSimulatedDrive::GetFreeSpace(const std::string& path, std::uint64_t& freeBytes) const
{
    const Mount* mount = FindMount(path);
    if (!mount)
        return m_fallback->GetFreeSpace(path, freeBytes);
    if (mount->disk < 0)
        return false;
    freeBytes = GetFreeBytes(mount->disk);
    return true;
}

bool CZipSimulatedDrive::GetTotalSize(const std::string& path, std::uint64_t& totalBytes) const
{
    if (!FindMount(path))
        return m_fallback->GetTotalSize(path, totalBytes);
    const Disk* disk = FindDisk(path);
    if (!disk)
        return false;
    totalBytes = disk->capacity;
    return true;
}

bool CZipSimulatedDrive::IsRemovable(const std::string& path) const
{
    const Mount* mount = FindMount(path);
    return mount ? mount->removable : m_fallback->IsRemovable(path);
}

std::string CZipSimulatedDrive::GetRoot(const std::string& path) const
{
    const Mount* mount = FindMount(path);
    return mount ? mount->path : m_fallback->GetRoot(path);
}

bool CZipSimulatedDrive::GetVolumeLabel(const std::string& path, std::string& label) const
{
    if (!FindMount(path))
        return m_fallback->GetVolumeLabel(path, label);
    const Disk* disk = FindDisk(path);
    if (!disk)
        return false;
    label = disk->label;
    return true;
}

bool CZipSimulatedDrive::SetVolumeLabel(const std::string& path, const std::string& label)
{
    const Mount* mount = nullptr;
    Disk* disk = FindDisk(path, mount);
    if (!mount)
        return m_fallback->SetVolumeLabel(path, label);
    if (!disk)
        return false;
    if (disk->writeProtected || disk->labelFixed) {
        errno = disk->writeProtected ? EROFS : ENOTSUP;
        return false;
    }
    disk->label = label;
    return true;
}

bool CZipSimulatedDrive::CreateFolder(const std::string& path)
{
    const Mount* mount = nullptr;
    Disk* disk = FindDisk(path, mount);
    if (!mount)
        return m_fallback->CreateFolder(path);
    if (!disk)
        return false;
    if (disk->writeProtected) {
        errno = EROFS;
        return false;
    }
    return mkdir(path.c_str(), 0777) == 0;
}

std::unique_ptr<CZipStream> CZipSimulatedDrive::OpenFile(const std::string& path, unsigned flags,
                                                         bool throwOnError)
{
    const Mount* mount = nullptr;
    Disk* disk = FindDisk(path, mount);
    if (!mount)
        return m_fallback->OpenFile(path, flags, throwOnError);
    int error = disk ? 0 : ENOENT;
    if (disk && disk->writeProtected && Writes(flags))
        error = EROFS;
    if (error != 0) {
        if (throwOnError)
            throw CZipException::FromErrno(error, path);
        errno = error;
        return nullptr;
    }
    auto file = std::make_unique<CZipFile>();
    if (!file->Open(path, flags, throwOnError))
        return nullptr;
    return std::make_unique<CZipSimulatedDiskFile>(std::move(file), *this, mount->disk);
}
