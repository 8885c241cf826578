// Opening, closing and the settings of the archive object.
#include "ZipContainer.h"

#include "ZipAttributes.h"
#include "ZipException.h"
#include "ZipPlatform.h"

#include <algorithm>

CZipContainer::~CZipContainer()
{
    try {
        Close(CloseAfterException);
    } catch (...) {
        // Nothing can be reported from a destructor.
    }
}

bool CZipContainer::SetBuffers(std::uint32_t write, std::uint32_t general, std::uint32_t search)
{
    if (!IsClosed())
        return false;
    m_storage.SetWriteBufferSize(std::max(write, MinBufferSize));
    m_bufferSize = std::max(general, MinBufferSize);
    m_directory.m_searchBufferSize = std::max(search, MinBufferSize);
    return true;
}

void CZipContainer::SetCallback(CZipProgressCallback* callback, int mask)
{
    for (int type = 1; type <= CZipProgressCallback::CbReplace; type <<= 1) {
        if (!(mask & type))
            continue;
        if (callback)
            m_callbacks[type] = callback;
        else
            m_callbacks.erase(type);
    }
}

CZipProgressCallback* CZipContainer::GetCallback(int type) const
{
    const auto found = m_callbacks.find(type);
    if (found == m_callbacks.end())
        return nullptr;
    found->second->m_type = type;
    return found->second;
}

CZipProgressCallback* CZipContainer::StartProgress(int type, const std::string& name,
                                                   const std::string& path, std::uint64_t total)
{
    CZipProgressCallback* callback = GetCallback(type);
    if (callback) {
        callback->Init(name, path);
        callback->SetTotal(total);
    }
    return callback;
}

void CZipContainer::Throw(int cause) const
{
    throw CZipException(cause, m_storage.GetArchivePath());
}

void CZipContainer::ResetState()
{
    m_directory.Clear();
    m_entryState = 0;
    m_systemId = ZipAttributes::PlatformSystem;
    m_buffer.Release();
    m_buffered = 0;
    m_openIndex = -1;
    m_deflate.End();
    m_reader.End();
}

bool CZipContainer::Open(const std::string& path, int mode, std::int64_t volumeSize)
{
    if (!IsClosed())
        return false;
    ResetState();
    m_storage.Open(path, mode, volumeSize);
    if (mode != ArcOpen && mode != ArcOpenReadOnly)
        return true;
    ReadDirectoryOrClose();
    return true;
}

bool CZipContainer::Open(CZipStream& stream, int mode)
{
    if (!IsClosed())
        return false;
    ResetState();
    m_storage.Open(stream, mode);
    if (mode == ArcCreate)
        return true;
    ReadDirectoryOrClose();
    return true;
}

// Reads the central directory of an archive just opened; a failure closes it again.
void CZipContainer::ReadDirectoryOrClose()
{
    try {
        const int system = m_directory.Read(m_storage);
        if (system >= 0 && ZipAttributes::IsSupportedSystem(system))
            m_systemId = system;
    } catch (...) {
        m_storage.Close(true);
        ResetState();
        throw;
    }
}

bool CZipContainer::SetPassword(const std::string& password)
{
    if (m_entryState != 0)
        return false;
    if (!CZipCrypt::IsValidPassword(password)) {
        m_password.clear();
        return false;
    }
    m_password = password;
    return true;
}

void CZipContainer::WriteCentralDirectory()
{
    if (IsClosed() || m_storage.IsReadOnly() || m_directory.m_onDisk)
        return;
    if (m_storage.IsSpanMode() == 0)
        m_storage.GetStream().SeekToEnd(); // a replacement may have left us inside
    m_directory.Write(m_storage, GetCallback(CZipProgressCallback::CbSave));
}

void CZipContainer::Close(int mode, bool updateTimeStamp)
{
    // Folders extracted before get their mode and time even when the caller never
    // finished them; a caller that reports failures calls FinishFolders first.
    m_extractor.FinishFolders();
    if (IsClosed())
        return;
    const bool afterException = mode != CloseNormal;
    if (m_entryState == 1)
        CloseNewFile(afterException);
    m_entryState = 0;
    std::time_t newest = 0;
    for (std::size_t i = 0; i < m_directory.GetCount(); ++i)
        newest = std::max(newest, m_directory[i].GetTime());
    if (mode != CloseAfterException && m_storage.IsSpanMode() != -1) {
        try {
            WriteCentralDirectory();
        } catch (...) {
            if (afterException) {
                m_storage.Close(true);
                ResetState();
            }
            throw;
        }
    }
    // A directory written after an error is flushed and synced like any other:
    // only closing without one gives the file up as it is.
    const std::string path = m_storage.Close(mode == CloseAfterException);
    ResetState();
    if (updateTimeStamp && !path.empty() && newest > 0)
        ZipPlatform::SetFileModTime(path, newest);
}
