#pragma once

#include <string>
#include <vector>

// The drives a backup can be written to, by mount point, from the mount table.
namespace drivelist {

// Mounted removable disks (USB sticks, memory cards).
std::vector<std::string> RemovableDrives();
// Mounted optical discs (ISO 9660 or UDF file systems).
std::vector<std::string> CdDrives();

} // namespace drivelist
