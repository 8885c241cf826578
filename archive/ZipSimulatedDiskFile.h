#pragma once

#include "ZipForwardingStream.h"

#include <memory>

class CZipSimulatedDrive;

// A file on a simulated disk: growth beyond the disk's free bytes fails as a full
// disk does (ENOSPC, 28), after writing the part that fits.
class CZipSimulatedDiskFile : public CZipForwardingStream
{
public:
    CZipSimulatedDiskFile(std::unique_ptr<CZipStream> file, const CZipSimulatedDrive& drive,
                          int disk)
        : CZipForwardingStream(std::move(file)), m_drive(drive), m_disk(disk)
    {
    }

    void Write(const void* buffer, std::uint32_t count) override;
    void SetLength(std::uint64_t length) override;

private:
    const CZipSimulatedDrive& m_drive;
    int m_disk;
};
