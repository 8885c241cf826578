#pragma once

#include <string>

// Asked by the volume store whenever a disk must be changed. The store fills the
// path of the volume file and the 1-based disk number before every call. Returning
// true means the right disk is in the drive and the work goes on; false aborts the
// operation with error 104.
class CZipDiskCallback
{
public:
    // Codes passed to Callback; a positive code means "a new disk is needed for
    // writing" and is the number of free bytes the next write needs.
    enum Code
    {
        DiskNeededForReading = -1, // the disk with m_diskNumber is needed to read on
        DiskHoldsArchiveName = -2, // the inserted disk already holds the archive's name
        LabelNotSet = -3,          // the disk's label could not be set
        FileNotCreated = -4,       // the archive file could not be created on the disk
    };

    virtual bool Callback(int code) = 0;
    virtual ~CZipDiskCallback() = default;

    std::string m_volumePath; // path of the volume file on the disk
    int m_diskNumber = 0;     // 1-based number of the disk wanted
};
