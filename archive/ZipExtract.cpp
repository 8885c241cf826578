// Extracting entries to files and folders.
#include "ZipContainer.h"

#include "ZipException.h"
#include "ZipExtractTarget.h"
#include "ZipPlatform.h"

#include <unistd.h>

#include <cerrno>

namespace {

void WriteAll(int fd, const char* data, std::uint32_t size, const std::string& path)
{
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            throw CZipException::FromErrno(written < 0 ? errno : ENOSPC, path);
        data += written;
        size -= static_cast<std::uint32_t>(written);
    }
}

} // namespace

std::string CZipContainer::PredictExtractedName(const std::string& entryName,
                                                const std::string& folder, bool fullPath,
                                                const std::string& newName)
{
    return CZipExtractTarget(entryName, folder, fullPath, newName).GetPath();
}

// 105 when the data was cut short by the abort, 106 when it was complete anyway.
int CZipContainer::AbortCode(std::uint32_t chunk, std::uint32_t bufferSize) const
{
    return chunk == bufferSize && m_uncompressedLeft > 0 ? CZipException::ErrAborted
                                                         : CZipException::ErrAbortedSafely;
}

// Reads the open entry to its end in chunks of `bufferSize`, writing each to `fd`
// when it is not -1. Sets `abortCode` when the callback stops it.
std::uint32_t CZipContainer::CopyEntryTo(int fd, const std::string& target,
                                         std::uint32_t bufferSize, CZipProgressCallback* callback,
                                         int& abortCode)
{
    CZipBuffer chunk(bufferSize);
    std::uint32_t total = 0;
    for (;;) {
        const std::uint32_t got = ReadFile(chunk.GetBuffer(), bufferSize);
        if (fd >= 0)
            WriteAll(fd, chunk.GetBuffer(), got, target);
        total += got;
        if (callback && !(*callback)(static_cast<int>(got))) {
            abortCode = AbortCode(got, bufferSize);
            break;
        }
        if (got < bufferSize)
            break;
    }
    return total;
}

bool CZipContainer::ExtractFile(int index, const std::string& folder, bool fullPath,
                                const std::string& newName, std::uint32_t bufferSize)
{
    if (bufferSize == 0 || IsClosed() || !m_directory.IsValidIndex(index) || m_entryState != 0)
        return false;
    const CZipEntryHeader& header = m_directory[static_cast<std::size_t>(index)];
    const CZipExtractTarget target(header.m_fileName, folder, fullPath, newName);
    const std::string& path = target.GetPath();
    CZipProgressCallback* callback =
        StartProgress(CZipProgressCallback::CbExtract, header.m_fileName, path, 0);
    if (header.IsDirectory()) {
        target.MakeFolders();
        ZipPlatform::SetFileAttributes(path, header.GetSystemAttributes());
        if (callback)
            callback->CallbackEnd();
        return true;
    }
    if (callback)
        callback->SetTotal(header.m_uncompressedSize);
    if (!OpenFile(index))
        return false;
    int abortCode = 0;
    int fd = -1;
    try {
        fd = target.CreateFile();
        CopyEntryTo(fd, path, bufferSize, callback, abortCode);
        const int closed = close(fd);
        fd = -1;
        if (closed != 0)
            throw CZipException::FromErrno(errno, path);
    } catch (...) {
        if (fd >= 0)
            close(fd);
        CloseFile({}, true);
        throw;
    }
    const int result = CloseFile(path);
    if (abortCode == CZipException::ErrAbortedSafely && result != 1)
        abortCode = CZipException::ErrAborted;
    if (callback)
        callback->CallbackEnd();
    if (abortCode != 0)
        throw CZipException(abortCode, path);
    return result == 1;
}
