// Reading and writing through the volume store.
#include "ZipVolumeStore.h"

#include "ZipException.h"

#include <algorithm>
#include <cstring>

std::uint32_t CZipVolumeStore::Read(void* buffer, std::uint32_t size, bool atomic)
{
    RequireOpen();
    if (m_buffered > 0)
        Flush(); // what was written must be readable
    if (size == 0)
        return 0;
    char* out = static_cast<char*>(buffer);
    std::uint32_t got = CurrentStream().Read(out, size);
    if (got == 0) {
        // At the very end of a volume a record may start on the next one.
        if (!IsSpannedReading())
            throw CZipException(CZipException::ErrDamaged, m_path);
        NextReadVolume();
        got = CurrentStream().Read(out, size);
    }
    while (got < size) {
        if (atomic || !IsSpannedReading())
            throw CZipException(CZipException::ErrDamaged, m_path);
        NextReadVolume();
        got += CurrentStream().Read(out + got, size - got);
    }
    return got;
}

void CZipVolumeStore::NextReadVolume()
{
    if (m_currentVolume >= m_lastVolume)
        throw CZipException(CZipException::ErrDamaged, m_path); // the data ends early
    ChangeVolume(m_currentVolume + 1);
}

void CZipVolumeStore::Write(const void* data, std::uint32_t size, bool atomic)
{
    RequireWritable();
    if (size == 0)
        return;
    if (SplitsWrites())
        WriteSpanned(static_cast<const char*>(data), size, atomic);
    else
        Buffer(static_cast<const char*>(data), size);
}

void CZipVolumeStore::WriteSpanned(const char* data, std::uint32_t size, bool atomic)
{
    while (size > 0) {
        const std::uint32_t unit = atomic ? size : 1;
        while (GetSpaceLeft() < unit) {
            // A record larger than a fixed-size volume gets a volume of its own.
            if (m_spanMode == SpanFixedSize && m_flushedToVolume == 0 && m_buffered == 0) {
                m_freeSpace = unit;
                break;
            }
            NextVolume(unit);
        }
        const std::uint32_t part =
            atomic ? size : static_cast<std::uint32_t>(std::min<std::uint64_t>(size, GetSpaceLeft()));
        Buffer(data, part);
        data += part;
        size -= part;
    }
}

void CZipVolumeStore::Buffer(const char* data, std::uint32_t size)
{
    while (size > 0) {
        if (m_buffered == 0 && size >= m_bufferSize) {
            WriteOut(data, size); // big blocks need no copy
            return;
        }
        const std::uint32_t part = std::min(size, m_bufferSize - m_buffered);
        std::memcpy(m_buffer.GetBuffer() + m_buffered, data, part);
        m_buffered += part;
        data += part;
        size -= part;
        if (m_buffered == m_bufferSize)
            Flush();
    }
}

void CZipVolumeStore::Flush()
{
    if (!IsOpen())
        return;
    if (m_broken)
        RequireWritable(); // throws: the file no longer matches what was written
    if (m_buffered == 0)
        return;
    RequireWritable();
    WriteOut(m_buffer.GetBuffer(), m_buffered);
    m_buffered = 0;
}

void CZipVolumeStore::WriteOut(const char* data, std::uint32_t size)
{
    CZipStream& stream = CurrentStream();
    const std::uint64_t position = stream.GetPosition();
    const std::uint64_t length = stream.GetLength();
    try {
        stream.Write(data, size);
    } catch (...) {
        UndoFailedWrite(position, length);
        throw;
    }
    if (m_creating)
        m_flushedToVolume += size;
    if (m_creating && m_spanMode == SpanRemovable)
        m_freeSpace = DriveFreeSpace();
}

// A write that failed half-way must not leave its first part in the file: the
// records after it would land at other offsets than the directory will say.
void CZipVolumeStore::UndoFailedWrite(std::uint64_t position, std::uint64_t length)
{
    try {
        CZipStream& stream = CurrentStream();
        if (stream.GetLength() != length)
            stream.SetLength(length);
        stream.Seek(static_cast<std::int64_t>(position), CZipStream::FromBegin);
    } catch (...) {
        m_broken = true;
    }
}
