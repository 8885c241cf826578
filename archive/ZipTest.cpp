// Testing entries: reading them through and checking the CRC.
#include "ZipContainer.h"

#include "ZipException.h"

bool CZipContainer::TestFile(int index, std::uint32_t bufferSize)
{
    if (bufferSize == 0 || IsClosed() || m_storage.IsSpanMode() == 1 ||
        !m_directory.IsValidIndex(index) || m_entryState != 0)
        return false;
    const CZipEntryHeader& header = m_directory[static_cast<std::size_t>(index)];
    CZipProgressCallback* callback =
        StartProgress(CZipProgressCallback::CbTest, header.m_fileName, {}, 0);
    if (header.IsDirectory()) {
        // An encrypted empty folder still carries its encryption header (and code).
        const bool empty = header.m_uncompressedSize == 0 &&
                           (header.m_compressedSize == 0 ||
                            header.m_compressedSize == header.GetEncryptionOverhead());
        if (!empty)
            Throw(CZipException::ErrDirectoryWithSize);
        if (callback)
            callback->CallbackEnd();
        return true;
    }
    if (callback)
        callback->SetTotal(header.m_uncompressedSize);
    int result = 0;
    int abortCode = 0;
    try {
        if (!OpenFile(index))
            return false;
        m_reader.CopyTo({}, bufferSize, callback, abortCode);
        result = CloseFile();
    } catch (...) {
        CloseFile({}, true);
        throw;
    }
    if (abortCode == CZipException::ErrAbortedSafely && result != 1)
        abortCode = CZipException::ErrAborted;
    if (callback)
        callback->CallbackEnd();
    if (abortCode != 0)
        Throw(abortCode);
    return result != -1;
}

bool CZipContainer::GetDataCrc(int index, std::uint32_t& crc)
{
    if (!OpenFile(index))
        return false;
    int result = 0;
    int abortCode = 0;
    try {
        m_reader.CopyTo({}, m_bufferSize, nullptr, abortCode);
        crc = m_reader.GetCrc();
        result = CloseFile();
    } catch (...) {
        CloseFile({}, true);
        throw;
    }
    return result == 1;
}
