// Moving entries inside a single-file archive: making room for a replaced entry,
// cutting the central directory off, removing the last entry.
#include "ZipContainer.h"

#include "ZipException.h"

#include <algorithm>
#include <limits>

std::uint64_t CZipContainer::GetDataEnd()
{
    if (m_directory.m_onDisk)
        return m_directory.m_directoryOffset;
    return m_storage.GetStream().GetLength() - m_directory.m_bytesBeforeZip;
}

std::uint64_t CZipContainer::GetEntryEnd(std::size_t index)
{
    if (index + 1 < m_directory.GetCount())
        return m_directory[index + 1].m_offset;
    return GetDataEnd();
}

// The first change to an archive read from disk takes its directory off the end;
// Close writes it again.
void CZipContainer::CutDirectory()
{
    if (!m_directory.m_onDisk)
        return;
    if (m_storage.IsSpanMode() != 0)
        Throw(CZipException::ErrInternal); // a spanned directory cannot be taken back
    CZipStream& stream = m_storage.GetStream();
    stream.SetLength(m_directory.GetDirectoryFilePosition());
    stream.SeekToEnd();
    m_directory.m_onDisk = false;
}

void CZipContainer::RemoveLastEntry()
{
    CutDirectory();
    const std::size_t last = m_directory.GetCount() - 1;
    CZipStream& stream = m_storage.GetStream();
    stream.SetLength(m_directory.m_bytesBeforeZip + m_directory[last].m_offset);
    stream.SeekToEnd();
    m_directory.Remove(last);
}

// Moves `length` bytes from `from` to `to` (file positions) in general-buffer
// chunks, in the direction that never overwrites bytes still to be moved. Returns
// false when the callback asked to stop; the move is completed first, so the file
// is never left with an entry half in its old and half in its new place.
bool CZipContainer::MoveData(std::uint64_t from, std::uint64_t to, std::uint64_t length,
                             CZipProgressCallback* callback)
{
    if (from == to || length == 0)
        return true;
    CZipStream& stream = m_storage.GetStream();
    CZipBuffer chunk(m_bufferSize);
    bool goOn = true;
    for (std::uint64_t done = 0; done < length;) {
        const auto part = static_cast<std::uint32_t>(std::min<std::uint64_t>(m_bufferSize, length - done));
        // Moving down copies from the front, moving up from the back.
        const std::uint64_t at = to < from ? done : length - done - part;
        stream.Seek(static_cast<std::int64_t>(from + at), CZipStream::FromBegin);
        if (stream.Read(chunk.GetBuffer(), part) != part)
            Throw(CZipException::ErrInternal);
        stream.Seek(static_cast<std::int64_t>(to + at), CZipStream::FromBegin);
        stream.Write(chunk.GetBuffer(), part);
        done += part;
        if (callback && !(*callback)(static_cast<int>(part)))
            goOn = false;
    }
    return goOn;
}

void CZipContainer::MakeSpaceForReplace(std::size_t index, std::uint64_t needed,
                                        const std::string& name)
{
    const std::uint64_t before = m_directory.m_bytesBeforeZip;
    const std::uint64_t start = m_directory[index].m_offset;
    const std::uint64_t end = GetEntryEnd(index);
    const std::uint64_t dataEnd = GetDataEnd();
    if (end < start || dataEnd < end)
        Throw(CZipException::ErrDamaged);
    // The entry grows or shrinks from its old size to `needed`; everything after
    // it moves by the difference.
    const std::uint64_t oldSize = end - start;
    if (needed != oldSize) {
        const std::uint64_t tail = dataEnd - end;
        CZipProgressCallback* callback =
            StartProgress(CZipProgressCallback::CbReplace, name, {}, tail);
        CZipStream& stream = m_storage.GetStream();
        const std::uint64_t newEnd = before + start + needed;
        const std::uint64_t newLength = newEnd + tail;
        if (needed > oldSize)
            stream.SetLength(newLength);
        const bool goOn = MoveData(before + end, newEnd, tail, callback);
        if (needed < oldSize)
            stream.SetLength(newLength);
        for (std::size_t i = index + 1; i < m_directory.GetCount(); ++i)
            m_directory[i].m_offset = m_directory[i].m_offset - oldSize + needed;
        if (callback)
            callback->CallbackEnd();
        if (!goOn)
            Throw(CZipException::ErrAborted);
    }
    m_storage.GetStream().Seek(static_cast<std::int64_t>(before + start), CZipStream::FromBegin);
}
