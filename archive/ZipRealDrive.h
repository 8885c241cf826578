#pragma once

#include "ZipDrive.h"

// The drives as the system has them: free space and size from statvfs, the root
// from /proc/self/mountinfo, "removable" from /sys/dev/block (the disk's removable
// flag, looked up through a partition to its disk), labels from
// /dev/disk/by-label. Setting a label is not supported (ENOTSUP): renaming a file
// system needs tools and rights that a backup program should not reach for.
class CZipRealDrive : public CZipDrive
{
public:
    bool GetFreeSpace(const std::string& path, std::uint64_t& freeBytes) const override;
    bool GetTotalSize(const std::string& path, std::uint64_t& totalBytes) const override;
    bool IsRemovable(const std::string& path) const override;
    std::string GetRoot(const std::string& path) const override;
    bool GetVolumeLabel(const std::string& path, std::string& label) const override;
    bool SetVolumeLabel(const std::string& path, const std::string& label) override;
    bool CreateFolder(const std::string& path) override;
    std::unique_ptr<CZipStream> OpenFile(const std::string& path, unsigned flags,
                                         bool throwOnError) override;

    // The nearest existing ancestor of `path` (or the path itself), absolute and
    // with symbolic links resolved; empty when none can be resolved.
    static std::string ResolveExisting(const std::string& path);
};
