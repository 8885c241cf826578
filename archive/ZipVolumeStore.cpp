// Opening the volume store.
#include "ZipVolumeStore.h"

#include "ZipDrive.h"
#include "ZipException.h"
#include "ZipPlatform.h"

#include <algorithm>
#include <cerrno>

CZipVolumeStore::~CZipVolumeStore()
{
    if (!IsOpen())
        return;
    try {
        Close(true);
    } catch (...) {
        // Nothing can be reported from a destructor; the volumes stay as they are.
    }
}

bool CZipVolumeStore::SetWriteBufferSize(std::uint32_t size)
{
    if (IsOpen())
        return false;
    m_bufferSize = std::max(size, MinWriteBufferSize);
    return true;
}

void CZipVolumeStore::Reset()
{
    m_path.clear();
    m_file.reset();
    m_stream = nullptr;
    m_buffer.Release();
    m_buffered = 0;
    m_spanMode = SpanNone;
    m_creating = false;
    m_converted = false;
    m_volumeSize = 0;
    m_lastVolume = 0;
    m_freeSpace = 0;
    m_flushedToVolume = 0;
    m_currentVolume = -1;
    m_inMemory = false;
    m_readOnly = false;
    m_broken = false;
    m_writtenVolumes.clear();
}

void CZipVolumeStore::AllocateBuffer()
{
    m_buffer.Allocate(m_bufferSize);
    m_buffered = 0;
}

void CZipVolumeStore::Open(const std::string& path, int mode, std::int64_t volumeSize)
{
    if (IsOpen())
        throw CZipException(CZipException::ErrInternal, path);
    Reset();
    m_path = path;
    try {
        OpenFile(path, mode, volumeSize);
    } catch (...) {
        AbandonOpen(mode == ModeCreateSpanned);
        throw;
    }
}

void CZipVolumeStore::OpenFile(const std::string& path, int mode, std::int64_t volumeSize)
{
    constexpr unsigned kDenyWrite = CZipStream::ShareDenyWrite;
    CZipDrive& drive = CZipDrive::Current();
    switch (mode) {
    case ModeOpen:
    case ModeReadOnly:
        m_readOnly = mode == ModeReadOnly;
        m_file = drive.OpenFile(
            path, (m_readOnly ? CZipStream::OpenRead : CZipStream::OpenReadWrite) | kDenyWrite,
            true);
        m_spanMode = volumeSize != 0 ? SpanFixedHint : SpanDetect;
        break;
    case ModeCreate:
        m_file = drive.OpenFile(
            path, CZipStream::OpenCreate | CZipStream::OpenReadWrite | kDenyWrite, true);
        break;
    case ModeCreateSpanned:
        StartSpanned(volumeSize);
        return;
    default:
        throw CZipException::FromErrno(EINVAL, path);
    }
    m_stream = m_file.get();
    m_currentVolume = 0;
    if (!m_readOnly)
        AllocateBuffer();
}

void CZipVolumeStore::StartSpanned(std::int64_t volumeSize)
{
    if (volumeSize < 0)
        throw CZipException::FromErrno(EINVAL, m_path);
    if (volumeSize == 0 && !m_pDiskCallback)
        throw CZipException(CZipException::ErrNoDiskCallback, m_path);
    m_spanMode = volumeSize > 0 ? SpanFixedSize : SpanRemovable;
    m_volumeSize = static_cast<std::uint64_t>(volumeSize);
    m_creating = true;
    m_currentVolume = 0;
    AllocateBuffer();
    NextVolume(4);
    const char signature[4] = {'P', 'K', 7, 8};
    Write(signature, sizeof signature, true);
}

// A failed open leaves nothing behind: not the store's state, and not a first
// volume that holds no more than the spanning signature.
void CZipVolumeStore::AbandonOpen(bool removeVolume)
{
    const std::string created = removeVolume && m_file ? m_file->GetFilePath() : std::string();
    if (m_file)
        m_file->Close();
    if (!created.empty())
        ZipPlatform::RemoveFile(created, false);
    Reset();
}

void CZipVolumeStore::Open(CZipStream& stream, int mode)
{
    if (IsOpen())
        throw CZipException(CZipException::ErrInternal);
    if (mode < ModeOpen || mode > ModeCreate)
        throw CZipException::FromErrno(EINVAL); // an archive in memory cannot span
    Reset();
    try {
        m_inMemory = true;
        m_stream = &stream;
        m_currentVolume = 0;
        m_readOnly = mode == ModeReadOnly;
        m_spanMode = mode == ModeCreate ? SpanNone : SpanDetect;
        if (mode == ModeCreate)
            stream.SetLength(0);
        stream.SeekToBegin();
        if (!m_readOnly)
            AllocateBuffer();
    } catch (...) {
        Reset();
        throw;
    }
}
