#pragma once

#include "ZipDrive.h"

#include <cstdint>
#include <string>
#include <vector>

// Drives for tests. A mount is a path (a symbolic link that this class creates) that
// stands for a drive; a disk is a folder below the store folder with a capacity, a
// label and write protection. Inserting a disk points the mount at the disk's
// folder; with no disk inserted the mount leads nowhere, like an empty drive.
// Files opened on a disk count their bytes against its capacity: a write that does
// not fit writes what fits and fails with ENOSPC, as a full disk does.
// Paths outside every mount are handed to the fallback drive (the real one).
class CZipSimulatedDrive : public CZipDrive
{
public:
    struct Disk
    {
        std::string folder;
        std::uint64_t capacity = 0;
        std::string label;
        bool writeProtected = false; // no file, folder or label can be written
        bool labelFixed = false;     // the label cannot be set, the rest can
    };

    explicit CZipSimulatedDrive(std::string storeFolder, CZipDrive* fallback = nullptr);

    // Adds a drive at `mountPath` (which must not exist yet) and returns its number.
    int AddMount(const std::string& mountPath, bool removable);
    // Adds an empty disk and returns its number.
    int AddDisk(std::uint64_t capacity, const std::string& label = {});
    Disk& GetDisk(int disk) { return m_disks.at(static_cast<std::size_t>(disk)); }
    const Disk& GetDisk(int disk) const { return m_disks.at(static_cast<std::size_t>(disk)); }
    // Puts `disk` into drive `mount` (-1: leaves the drive empty).
    void Insert(int mount, int disk);
    int GetInserted(int mount) const { return m_mounts.at(static_cast<std::size_t>(mount)).disk; }
    // Bytes taken by the files on `disk`.
    std::uint64_t GetUsedBytes(int disk) const;
    std::uint64_t GetFreeBytes(int disk) const;

    bool GetFreeSpace(const std::string& path, std::uint64_t& freeBytes) const override;
    bool GetTotalSize(const std::string& path, std::uint64_t& totalBytes) const override;
    bool IsRemovable(const std::string& path) const override;
    std::string GetRoot(const std::string& path) const override;
    bool GetVolumeLabel(const std::string& path, std::string& label) const override;
    bool SetVolumeLabel(const std::string& path, const std::string& label) override;
    bool CreateFolder(const std::string& path) override;
    std::unique_ptr<CZipStream> OpenFile(const std::string& path, unsigned flags,
                                         bool throwOnError) override;

private:
    struct Mount
    {
        std::string path;
        bool removable = false;
        int disk = -1;
    };

    // The mount that `path` lies on, or null.
    const Mount* FindMount(const std::string& path) const;
    // The disk inserted in the mount of `path`, or null (errno set) when the path
    // is on a mount without a disk.
    Disk* FindDisk(const std::string& path, const Mount*& mount);
    const Disk* FindDisk(const std::string& path) const;

    std::string m_storeFolder;
    CZipDrive* m_fallback;
    std::vector<Mount> m_mounts;
    std::vector<Disk> m_disks;
};
