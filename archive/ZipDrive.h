#pragma once

#include "ZipStream.h"

#include <cstdint>
#include <memory>
#include <string>

// What the archive needs to know about the drives its files live on, and the one
// way it creates folders and opens files there. The real implementation
// (CZipRealDrive) asks the system; the simulated one (CZipSimulatedDrive) lets tests
// stand folders in for disks of a set size, removable or not, and swap them.
//
// One drive interface is current for the whole process. It is meant to be set once
// (tests install theirs before they use the archive); the archive is used by one
// thread at a time, so there is no locking around it.
class CZipDrive
{
public:
    virtual ~CZipDrive() = default;

    // Free bytes available to us on the file system that holds `path` (a file or
    // folder, which need not exist yet). False when that cannot be told.
    virtual bool GetFreeSpace(const std::string& path, std::uint64_t& freeBytes) const = 0;
    virtual bool GetTotalSize(const std::string& path, std::uint64_t& totalBytes) const = 0;
    virtual bool IsRemovable(const std::string& path) const = 0;
    // The root of the drive that holds `path`: its mount point.
    virtual std::string GetRoot(const std::string& path) const = 0;
    virtual bool GetVolumeLabel(const std::string& path, std::string& label) const = 0;
    // Labels the drive that holds `path`; false (errno tells why, ENOTSUP where
    // labels cannot be set at all) on failure.
    virtual bool SetVolumeLabel(const std::string& path, const std::string& label) = 0;
    // Creates one folder (its parent must exist); false with errno on failure.
    virtual bool CreateFolder(const std::string& path) = 0;
    // Opens a file as a CZipFile would; null (or an exception when `throwOnError`)
    // on failure.
    virtual std::unique_ptr<CZipStream> OpenFile(const std::string& path, unsigned flags,
                                                 bool throwOnError) = 0;

    // The current drive interface (the real one unless another was installed).
    static CZipDrive& Current();
    // Installs `drive` (null: the real one again) and returns the one it replaces.
    static CZipDrive* SetCurrent(CZipDrive* drive);
};
