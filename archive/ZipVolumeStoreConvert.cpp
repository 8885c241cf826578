// Turning a spanned archive that fits on its first volume into an ordinary one.
#include "ZipVolumeStore.h"

#include "ZipDrive.h"
#include "ZipException.h"
#include "ZipPlatform.h"

#include <sys/mman.h>

bool CZipVolumeStore::ConvertToSingleVolume(std::vector<CZipSpanEntry>& entries,
                                            std::uint32_t directorySize)
{
    RequireOpen();
    if (!m_creating || m_converted || m_currentVolume != 0 || m_broken)
        return false;
    const std::uint32_t savings = SpanCompactionSavings(entries);
    const std::uint32_t needed = directorySize > savings ? directorySize - savings : 0;
    if (GetSpaceLeft() < needed)
        return false;
    const bool done = m_flushedToVolume == 0 ? CompactInBuffer(entries) : CompactInFile(entries);
    m_converted = done;
    return done;
}

bool CZipVolumeStore::CompactInBuffer(std::vector<CZipSpanEntry>& entries)
{
    std::uint32_t length = m_buffered;
    if (!CompactSpannedVolume(m_buffer.GetBuffer(), length, entries))
        return false;
    m_buffered = length;
    return true;
}

// The volume is larger than the buffer: work on a mapping of this file (private
// to this process; nothing is shared by name).
bool CZipVolumeStore::CompactInFile(std::vector<CZipSpanEntry>& entries)
{
    Flush();
    CZipStream& stream = CurrentStream();
    const int fd = stream.GetHandle();
    const std::uint64_t length64 = stream.GetLength();
    if (fd < 0 || length64 == 0 || length64 > 0xFFFFFFFF)
        return false; // the compaction handles 32-bit volumes only
    const auto fileLength = static_cast<std::uint32_t>(length64);
    void* map = mmap(nullptr, fileLength, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (map == MAP_FAILED)
        return false;
    std::uint32_t length = fileLength;
    const bool done = CompactSpannedVolume(static_cast<char*>(map), length, entries);
    munmap(map, fileLength);
    if (!done)
        return false;
    stream.SetLength(length);
    stream.Seek(length, CZipStream::FromBegin);
    m_flushedToVolume = length;
    return true;
}

void CZipVolumeStore::FinishSpan()
{
    RequireOpen();
    if (!m_creating)
        return;
    if (m_currentVolume != 0 || !m_file)
        throw CZipException(CZipException::ErrInternal, m_path); // more than one volume
    Flush();
    m_file->Flush();
    const bool fixed = m_spanMode == SpanFixedSize;
    const std::string current = m_file->GetFilePath();
    const std::string path = fixed ? GetFinalName() : m_path;
    CloseVolume(false);
    if (fixed)
        ZipPlatform::RenameFile(current, path, true, true);
    m_creating = false;
    m_converted = false;
    m_spanMode = SpanNone;
    m_flushedToVolume = 0;
    m_path = path;
    m_file = CZipDrive::Current().OpenFile(
        path, CZipStream::OpenReadWrite | CZipStream::ShareDenyWrite | CZipStream::OpenNoTruncate,
        true);
    m_stream = m_file.get();
    m_stream->SeekToEnd();
}
