#include "OutputFreeSpace.h"

#include "ZipDrive.h"

// Through the archive's drive interface, so that the free-space rules are tested on
// simulated disks and agree with what the archive itself sees when it writes.
std::uint64_t GetFolderFreeSpace(const std::string& folder)
{
    std::uint64_t freeBytes = 0;
    if (folder.empty() || !CZipDrive::Current().GetFreeSpace(folder, freeBytes))
        return 0;
    return freeBytes;
}
