#include "DriveList.h"

#include "ZipDrive.h"
#include "ZipMountTable.h"

std::vector<std::string> drivelist::RemovableDrives()
{
    std::vector<std::string> drives;
    const CZipMountTable table = CZipMountTable::ReadCurrent();
    for (const auto& entry : table.Entries())
        if (entry.mountPoint != "/" && CZipDrive::Current().IsRemovable(entry.mountPoint))
            drives.push_back(entry.mountPoint);
    return drives;
}

std::vector<std::string> drivelist::CdDrives()
{
    std::vector<std::string> drives;
    const CZipMountTable table = CZipMountTable::ReadCurrent();
    for (const auto& entry : table.Entries())
        if (entry.fsType == "iso9660" || entry.fsType == "udf")
            drives.push_back(entry.mountPoint);
    return drives;
}
