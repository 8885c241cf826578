// Extracting entries to files and folders.
#include "ZipExtractor.h"

#include "ZipContainer.h"

#include "ZipException.h"
#include "ZipExtractTarget.h"
#include "ZipPlatform.h"
#include "ZipReplacingFile.h"

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

std::string CZipExtractor::PredictExtractedName(const std::string& entryName,
                                                const std::string& folder, bool fullPath,
                                                const std::string& newName)
{
    return CZipExtractTarget(entryName, folder, fullPath, newName).GetPath();
}

bool CZipExtractor::ExtractFile(int index, const std::string& folder, bool fullPath,
                                const std::string& newName, std::uint32_t bufferSize)
{
    const CZipDirectory& directory = m_archive.GetDirectory();
    if (bufferSize == 0 || m_archive.IsClosed() || !directory.IsValidIndex(index) ||
        m_archive.GetEntryState() != 0)
        return false;
    const CZipEntryHeader& header = directory[static_cast<std::size_t>(index)];
    const CZipExtractTarget target(header.m_fileName, folder, fullPath, newName);
    const std::string& path = target.GetPath();
    CZipProgressCallback* callback =
        m_archive.StartProgress(CZipProgressCallback::CbExtract, header.m_fileName, path, 0);
    if (header.IsDirectory()) {
        ExtractFolder(target, header);
        if (callback)
            callback->CallbackEnd();
        return true;
    }
    if (callback)
        callback->SetTotal(header.m_uncompressedSize);
    if (header.IsSymbolicLink() && header.m_uncompressedSize > CZipContainer::MaxLinkTarget) {
        if (callback)
            callback->CallbackEnd();
        throw CZipException::FromErrno(ENAMETOOLONG, path);
    }
    if (!m_archive.OpenFile(index))
        return false;
    int abortCode = 0;
    int result = 0;
    try {
        CZipReplacingFile replacement(target);
        result = header.IsSymbolicLink()
                     ? ExtractLinkTo(replacement, header, bufferSize, callback, abortCode)
                     : ExtractDataTo(replacement, header, bufferSize, callback, abortCode);
    } catch (...) {
        m_archive.CloseFile({}, true);
        if (callback)
            callback->CallbackEnd();
        throw;
    }
    if (callback)
        callback->CallbackEnd();
    if (abortCode != 0)
        throw CZipException(abortCode, path);
    return result == 1;
}

// A folder is made at once, private (0700) while it fills, and gets its own mode
// and time from FinishFolders. A name with no part left is the caller's folder
// itself, whose mode and time are not the archive's to change.
void CZipExtractor::ExtractFolder(const CZipExtractTarget& target, const CZipEntryHeader& header)
{
    if (target.IsEmpty()) {
        target.MakeFolders();
        return;
    }
    target.MakeFolders(0700);
    m_folderSettings.Add(target, header.GetSystemAttributes(), header.GetTime());
}

std::vector<std::string> CZipExtractor::FinishFolders()
{
    return m_folderSettings.Apply();
}

// Reads the open entry to its end into `sink` and closes it: CloseFile's result. An
// entry left incomplete (stopped early, or a stream that ended before its size)
// turns a callback's stop into ErrAborted.
int CZipExtractor::ReadWhole(const CZipEntryReader::ChunkSink& sink, std::uint32_t bufferSize,
                             CZipProgressCallback* callback, int& abortCode)
{
    m_reader.CopyTo(sink, bufferSize, callback, abortCode);
    const int result = m_archive.CloseFile({});
    if (result != 1 && abortCode != 0)
        abortCode = CZipException::ErrAborted;
    return result;
}

// Writes the open entry to a temporary file and puts it in place once its CRC
// checked out and its time and permissions are set. Returns CloseFile's result
// (-2 when the time or permissions could not be set; the file is still placed).
// Nothing is placed when the data is incomplete.
int CZipExtractor::ExtractDataTo(CZipReplacingFile& replacement, const CZipEntryHeader& header,
                                 std::uint32_t bufferSize, CZipProgressCallback* callback,
                                 int& abortCode)
{
    const int fd = replacement.CreateFile();
    const std::string& path = replacement.GetPath();
    int result = ReadWhole(
        [fd, &path](const char* data, std::uint32_t size) { WriteAll(fd, data, size, path); },
        bufferSize, callback, abortCode);
    if (result != 1)
        return result;
    if (!ZipPlatform::SetDescriptorModTime(fd, header.GetTime()) ||
        !ZipPlatform::SetDescriptorAttributes(fd, header.GetSystemAttributes()))
        result = -2;
    replacement.Commit();
    return result;
}

// A link entry's data is the link's target: read it whole, check the CRC, then
// make the link. The target may point anywhere; it is data, and extraction never
// walks through links, so later entries cannot be written through it.
int CZipExtractor::ExtractLinkTo(CZipReplacingFile& replacement, const CZipEntryHeader& header,
                                 std::uint32_t bufferSize, CZipProgressCallback* callback,
                                 int& abortCode)
{
    std::string linkTarget;
    const int result = ReadWhole(
        [&linkTarget](const char* data, std::uint32_t size) { linkTarget.append(data, size); },
        bufferSize, callback, abortCode);
    if (result != 1)
        return result;
    if (linkTarget.empty() || linkTarget.find('\0') != std::string::npos)
        throw CZipException::FromErrno(EINVAL, m_archive.GetArchivePath());
    replacement.CreateLink(linkTarget, header.GetTime());
    replacement.Commit();
    return result;
}
