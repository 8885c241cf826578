#include "ZipSimulatedDiskFile.h"

#include "ZipException.h"
#include "ZipSimulatedDrive.h"

#include <cerrno>

void CZipSimulatedDiskFile::Write(const void* buffer, std::uint32_t count)
{
    const std::uint64_t position = GetPosition();
    const std::uint64_t allowedEnd = GetLength() + m_drive.GetFreeBytes(m_disk);
    if (position + count <= allowedEnd) {
        CZipForwardingStream::Write(buffer, count);
        return;
    }
    if (allowedEnd > position)
        CZipForwardingStream::Write(buffer, static_cast<std::uint32_t>(allowedEnd - position));
    throw CZipException::FromErrno(ENOSPC, GetFilePath());
}

void CZipSimulatedDiskFile::SetLength(std::uint64_t newLength)
{
    const std::uint64_t length = GetLength();
    if (newLength > length && newLength - length > m_drive.GetFreeBytes(m_disk))
        throw CZipException::FromErrno(ENOSPC, GetFilePath());
    CZipForwardingStream::SetLength(newLength);
}
