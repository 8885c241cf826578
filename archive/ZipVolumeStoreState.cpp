// Closing the volume store, and what it tells about itself.
#include "ZipVolumeStore.h"

#include "ZipException.h"
#include "ZipPathParts.h"
#include "ZipPlatform.h"

#include <cerrno>
#include <cstdio>
#include <limits>

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

std::uint64_t CZipVolumeStore::GetPosition() const
{
    RequireOpen();
    if (!m_stream)
        throw CZipException(CZipException::ErrInternal, m_path);
    return m_stream->GetPosition() + m_buffered;
}

bool CZipVolumeStore::IsAtEnd() const
{
    RequireOpen();
    return m_stream && m_stream->GetPosition() == m_stream->GetLength();
}

std::uint64_t CZipVolumeStore::GetSpaceLeft() const
{
    const std::uint64_t used = m_buffered + (m_spanMode == SpanFixedSize ? m_flushedToVolume : 0);
    return m_freeSpace > used ? m_freeSpace - used : 0;
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
