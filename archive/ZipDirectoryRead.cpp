// Reading the end record and the central directory of an existing archive.
#include "ZipDirectory.h"

#include "ZipAttributes.h"
#include "ZipException.h"
#include "ZipVolumeStore.h"

#include <algorithm>

using namespace ZipBytes;

namespace {

constexpr std::uint32_t MaxEndWindow = 65535 + CZipDirectory::EndRecordSize;
constexpr std::uint32_t ChunkOverlap = 3; // a signature may straddle two chunks

[[noreturn]] void Damaged(const std::string& path)
{
    throw CZipException(CZipException::ErrDamaged, path);
}

void ReadExactly(CZipVolumeStore& store, char* out, std::uint32_t size)
{
    if (size > 0 && store.Read(out, size, true) != size)
        Damaged(store.GetArchivePath());
}

// Reads `size` bytes at `position` of the current volume; false when the volume
// ends before.
bool ReadAt(CZipStream& stream, std::uint64_t position, char* out, std::uint32_t size)
{
    if (position > stream.GetLength() || stream.GetLength() - position < size)
        return false;
    stream.Seek(static_cast<std::int64_t>(position), CZipStream::FromBegin);
    return stream.Read(out, size) == size;
}

} // namespace

int CZipDirectory::Read(CZipVolumeStore& store)
{
    Clear();
    ReadEndRecord(store, LocateEndRecord(store));
    m_onDisk = true;
    if (m_directorySize != 0) {
        if (store.IsSpanMode() == -1)
            ReadRecordsSpanned(store);
        else
            ReadRecordsSingle(store);
    }
    SortAndCheck(store.GetArchivePath());
    return m_headers.empty() ? -1 : m_headers.front()->GetSystem();
}

// Searches the last 65,557 bytes backwards, chunk by chunk, for the signature
// nearest the end.
std::uint64_t CZipDirectory::LocateEndRecord(CZipVolumeStore& store) const
{
    CZipStream& stream = store.GetStream();
    const std::uint64_t length = stream.GetLength();
    const auto window = static_cast<std::uint32_t>(std::min<std::uint64_t>(length, MaxEndWindow));
    const std::uint32_t chunkSize = std::max(m_searchBufferSize, ChunkOverlap + 1);
    std::string chunk;
    for (std::uint32_t c = 0; c + 4 <= window;) {
        const std::uint32_t d = std::min(c + chunkSize, window);
        chunk.resize(d - c);
        stream.Seek(static_cast<std::int64_t>(length - d), CZipStream::FromBegin);
        if (stream.Read(chunk.data(), d - c) != d - c)
            Damaged(store.GetArchivePath());
        for (std::uint32_t i = d - c - 4 + 1; i-- > 0;)
            if (Get32(chunk.data() + i) == EndSignature)
                return length - d + i;
        if (d == window)
            break;
        c = d - ChunkOverlap;
    }
    throw CZipException(CZipException::ErrNoCentralDirectory, store.GetArchivePath());
}

void CZipDirectory::ReadEndRecord(CZipVolumeStore& store, std::uint64_t position)
{
    const std::string& path = store.GetArchivePath();
    char record[EndRecordSize];
    CZipStream& stream = store.GetStream();
    if (!ReadAt(stream, position, record, EndRecordSize))
        Damaged(path);
    m_endRecordPosition = position;
    m_thisVolume = Get16(record + 4);
    m_directoryVolume = Get16(record + 6);
    m_recordsHere = Get16(record + 8);
    m_records = Get16(record + 10);
    m_directorySize = Get32(record + 12);
    m_directoryOffset = Get32(record + 16);
    m_comment.resize(Get16(record + 20));
    if (!m_comment.empty() &&
        stream.Read(m_comment.data(), static_cast<std::uint32_t>(m_comment.size())) !=
            m_comment.size())
        Damaged(path);
    // Where the end records start: the archive's own bytes end there. Without a
    // zip64 end, escape values are taken as they stand, as older readers did.
    std::uint64_t start = position;
    ReadZip64End(store, position, start);
    store.UpdateSpanMode(static_cast<int>(m_thisVolume));
    const std::uint64_t directoryEnd = m_directoryOffset + m_directorySize;
    if (directoryEnd < m_directoryOffset || (m_directorySize == 0) != (m_records == 0))
        Damaged(path);
    m_bytesBeforeZip = 0;
    if (store.IsSpanMode() == 0)
        CheckSingleLayout(path, directoryEnd, start);
}

void CZipDirectory::CheckSingleLayout(const std::string& path, std::uint64_t directoryEnd,
                                      std::uint64_t start)
{
    if (start < directoryEnd)
        Damaged(path);
    m_bytesBeforeZip = start - directoryEnd;
}

// The zip64 end record, found through its locator right before the end record.
// False when there is none; its values replace the end record's.
bool CZipDirectory::ReadZip64End(CZipVolumeStore& store, std::uint64_t endPosition,
                                 std::uint64_t& start)
{
    CZipStream& stream = store.GetStream();
    char locator[Zip64LocatorSize];
    if (endPosition < Zip64LocatorSize + Zip64EndRecordSize ||
        !ReadAt(stream, endPosition - Zip64LocatorSize, locator, Zip64LocatorSize) ||
        Get32(locator) != Zip64LocatorSignature)
        return false;
    // Normally the record lies right before the locator; an archive with data in
    // front of it still names the record's offset from the archive's start.
    char record[Zip64EndRecordSize];
    std::uint64_t at = endPosition - Zip64LocatorSize - Zip64EndRecordSize;
    if (!ReadAt(stream, at, record, Zip64EndRecordSize) || Get32(record) != Zip64EndSignature) {
        at = Get64(locator + 8);
        if (!ReadAt(stream, at, record, Zip64EndRecordSize) || Get32(record) != Zip64EndSignature)
            Damaged(store.GetArchivePath());
    }
    m_thisVolume = Get32(record + 16);
    m_directoryVolume = Get32(record + 20);
    m_recordsHere = Get64(record + 24);
    m_records = Get64(record + 32);
    m_directorySize = Get64(record + 40);
    m_directoryOffset = Get64(record + 48);
    if (m_thisVolume >= 0xFFFF || m_directoryVolume > m_thisVolume || m_records > MaxEntries)
        Damaged(store.GetArchivePath());
    start = at;
    return true;
}

// A single file: the whole directory is read at once and decoded in memory.
void CZipDirectory::ReadRecordsSingle(CZipVolumeStore& store)
{
    // Every record takes at least 46 bytes: a count the size cannot hold is damage,
    // found before memory is spent on it.
    CZipStream& stream = store.GetStream();
    if (m_records > m_directorySize / CZipEntryHeader::CentralSize ||
        GetDirectoryFilePosition() > stream.GetLength() ||
        m_directorySize > stream.GetLength() - GetDirectoryFilePosition())
        Damaged(store.GetArchivePath());
    std::string bytes(static_cast<std::size_t>(m_directorySize), '\0');
    stream.Seek(static_cast<std::int64_t>(GetDirectoryFilePosition()), CZipStream::FromBegin);
    for (std::size_t done = 0; done < bytes.size();) {
        const auto part = static_cast<std::uint32_t>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        ReadExactly(store, bytes.data() + done, part);
        done += part;
    }
    ParseRecords(bytes.data(), bytes.size(), m_records);
    // Every local header lies before the directory; offsets that point elsewhere
    // would make replacing or deleting move the wrong bytes.
    for (const auto& header : m_headers)
        if (header->m_offset > m_directoryOffset ||
            m_directoryOffset - header->m_offset < CZipEntryHeader::LocalSize)
            Damaged(store.GetArchivePath());
}

void CZipDirectory::ParseRecords(const char* data, std::size_t size, std::uint64_t count)
{
    if (count > size / CZipEntryHeader::CentralSize)
        Damaged({});
    std::size_t used = 0;
    std::string stored;
    m_headers.reserve(static_cast<std::size_t>(count));
    for (std::uint64_t i = 0; i < count; ++i) {
        auto header = std::make_unique<CZipEntryHeader>();
        const std::uint32_t taken = header->ReadCentral(data + used, size - used, stored);
        if (taken == 0)
            Damaged({});
        header->SetNameFromStored(stored);
        used += taken;
        m_headers.push_back(std::move(header));
    }
}

// Spanned: records may start on a following volume, but each lies on one volume.
void CZipDirectory::ReadRecordsSpanned(CZipVolumeStore& store)
{
    store.ChangeVolume(static_cast<int>(m_directoryVolume));
    store.GetStream().Seek(static_cast<std::int64_t>(m_directoryOffset), CZipStream::FromBegin);
    std::string record;
    std::string stored;
    for (std::uint64_t i = 0; i < m_records; ++i) {
        record.resize(CZipEntryHeader::CentralSize);
        ReadExactly(store, record.data(), CZipEntryHeader::CentralSize);
        if (Get32(record.data()) != CZipEntryHeader::CentralSignature)
            Damaged(store.GetArchivePath());
        const std::uint32_t variable =
            Get16(record.data() + 28) + Get16(record.data() + 30) + Get16(record.data() + 32);
        record.resize(CZipEntryHeader::CentralSize + variable);
        if (variable > 0 &&
            store.Read(record.data() + CZipEntryHeader::CentralSize, variable, true) != variable)
            Damaged(store.GetArchivePath());
        auto header = std::make_unique<CZipEntryHeader>();
        if (header->ReadCentral(record.data(), record.size(), stored) == 0)
            Damaged(store.GetArchivePath());
        header->SetNameFromStored(stored);
        m_headers.push_back(std::move(header));
    }
}

void CZipDirectory::SortAndCheck(const std::string& path)
{
    std::stable_sort(m_headers.begin(), m_headers.end(), [](const auto& a, const auto& b) {
        return a->m_volumeStart != b->m_volumeStart ? a->m_volumeStart < b->m_volumeStart
                                                    : a->m_offset < b->m_offset;
    });
    for (std::size_t i = 1; i < m_headers.size(); ++i)
        if (m_headers[i]->m_volumeStart == m_headers[i - 1]->m_volumeStart &&
            m_headers[i]->m_offset == m_headers[i - 1]->m_offset)
            Damaged(path);
    m_lookup.Rebuild(m_headers);
}
