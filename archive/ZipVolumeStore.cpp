// Opening and closing the volume store, and what it tells about itself.
#include "ZipVolumeStore.h"

#include "ZipDrive.h"
#include "ZipException.h"
#include "ZipPathParts.h"
#include "ZipPlatform.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <limits>

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
    m_previousVolume = FileId();
}

void CZipVolumeStore::AllocateBuffer()
{
    m_buffer.Allocate(m_bufferSize);
    m_buffered = 0;
}

void CZipVolumeStore::Open(const std::string& path, int mode, int volumeSize)
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

void CZipVolumeStore::OpenFile(const std::string& path, int mode, int volumeSize)
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

void CZipVolumeStore::StartSpanned(int volumeSize)
{
    if (volumeSize < 0)
        throw CZipException::FromErrno(EINVAL, m_path);
    if (volumeSize == 0 && !m_pDiskCallback)
        throw CZipException(CZipException::ErrNoDiskCallback, m_path);
    m_spanMode = volumeSize > 0 ? SpanFixedSize : SpanRemovable;
    m_volumeSize = static_cast<std::uint32_t>(volumeSize);
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

std::string CZipVolumeStore::Close(bool afterException)
{
    if (!IsOpen())
        return {};
    if (!afterException) {
        Flush();
        if (m_file && !m_readOnly)
            m_file->Flush(); // on the device before anyone calls it done
    }
    const bool fixedCreating = m_creating && m_spanMode == SpanFixedSize;
    const std::string current = m_file ? m_file->GetFilePath() : std::string();
    const std::string result = m_inMemory ? std::string() : fixedCreating ? current : m_path;
    const std::string finalName = fixedCreating ? GetFinalName() : std::string();
    if (m_file)
        m_file->Close();
    Reset();
    if (afterException || !fixedCreating)
        return result;
    // The set becomes complete in one step: the last volume takes the final name,
    // replacing an older file of that name only now.
    ZipPlatform::RenameFile(current, finalName, true, true);
    return finalName;
}

int CZipVolumeStore::IsSpanMode() const
{
    if (m_creating)
        return 1;
    return IsSpannedReading() ? -1 : 0;
}

bool CZipVolumeStore::IsSpannedReading() const
{
    return !m_creating && (m_spanMode == SpanRemovable || m_spanMode == SpanFixedSize);
}

void CZipVolumeStore::RequireOpen() const
{
    if (!IsOpen())
        throw CZipException(CZipException::ErrInternal, m_path);
}

void CZipVolumeStore::RequireWritable() const
{
    RequireOpen();
    if (m_readOnly)
        throw CZipException::FromErrno(EBADF, m_path);
    if (m_broken)
        throw CZipException::FromErrno(EIO, m_path);
}

CZipStream& CZipVolumeStore::GetStream()
{
    Flush();
    return CurrentStream();
}

CZipStream& CZipVolumeStore::CurrentStream()
{
    RequireOpen();
    if (!m_stream)
        throw CZipException(CZipException::ErrInternal, m_path); // a volume failed to open
    return *m_stream;
}

std::uint32_t CZipVolumeStore::GetPosition() const
{
    RequireOpen();
    if (!m_stream)
        throw CZipException(CZipException::ErrInternal, m_path);
    const std::uint64_t position = std::uint64_t{m_stream->GetPosition()} + m_buffered;
    if (position > std::numeric_limits<std::uint32_t>::max())
        throw CZipException::FromErrno(EFBIG, m_path);
    return static_cast<std::uint32_t>(position);
}

std::uint32_t CZipVolumeStore::GetSpaceLeft() const
{
    const std::uint64_t used =
        std::uint64_t{m_buffered} + (m_spanMode == SpanFixedSize ? m_flushedToVolume : 0);
    return m_freeSpace > used ? static_cast<std::uint32_t>(m_freeSpace - used) : 0;
}

std::string CZipVolumeStore::GetVolumeName(int number) const
{
    CZipPathParts parts(m_path, CZipPathParts::NativeSyntax);
    char extension[16];
    std::snprintf(extension, sizeof extension, "%.3d", number);
    parts.m_extension = extension;
    return parts.GetFullPath();
}

std::string CZipVolumeStore::GetFinalName() const
{
    CZipPathParts parts(m_path, CZipPathParts::NativeSyntax);
    parts.m_extension = "tbm";
    return parts.GetFullPath();
}
