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
std::uint32_t CZipDirectory::LocateEndRecord(CZipVolumeStore& store) const
{
    CZipStream& stream = store.GetStream();
    const std::uint32_t length = stream.GetLength();
    const std::uint32_t window = std::min(length, MaxEndWindow);
    const std::uint32_t chunkSize = std::max(m_searchBufferSize, ChunkOverlap + 1);
    std::string chunk;
    for (std::uint32_t c = 0; c + 4 <= window;) {
        const std::uint32_t d = std::min(c + chunkSize, window);
        chunk.resize(d - c);
        stream.Seek(length - d, CZipStream::FromBegin);
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

void CZipDirectory::ReadEndRecord(CZipVolumeStore& store, std::uint32_t position)
{
    const std::string& path = store.GetArchivePath();
    char record[EndRecordSize];
    CZipStream& stream = store.GetStream();
    stream.Seek(position, CZipStream::FromBegin);
    if (stream.Read(record, EndRecordSize) != EndRecordSize)
        Damaged(path);
    m_endRecordPosition = position;
    m_thisVolume = Get16(record + 4);
    m_directoryVolume = Get16(record + 6);
    m_recordsHere = Get16(record + 8);
    m_records = Get16(record + 10);
    m_directorySize = Get32(record + 12);
    m_directoryOffset = Get32(record + 16);
    m_comment.resize(Get16(record + 20));
    store.UpdateSpanMode(m_thisVolume);
    const bool single = store.IsSpanMode() == 0;
    const std::uint64_t directoryEnd = std::uint64_t{m_directoryOffset} + m_directorySize;
    if (single && position < directoryEnd)
        Damaged(path);
    if (!m_comment.empty() &&
        stream.Read(m_comment.data(), static_cast<std::uint32_t>(m_comment.size())) !=
            m_comment.size())
        Damaged(path);
    m_bytesBeforeZip = single ? static_cast<std::uint32_t>(position - directoryEnd) : 0;
    if ((m_directorySize == 0) != (m_records == 0))
        Damaged(path);
}

// A single file: the whole directory is read at once and decoded in memory.
void CZipDirectory::ReadRecordsSingle(CZipVolumeStore& store)
{
    std::string bytes(m_directorySize, '\0');
    store.GetStream().Seek(GetDirectoryFilePosition(), CZipStream::FromBegin);
    ReadExactly(store, bytes.data(), m_directorySize);
    ParseRecords(bytes.data(), m_directorySize, m_records);
    // Every local header lies before the directory; offsets that point elsewhere
    // would make replacing or deleting move the wrong bytes.
    for (const auto& header : m_headers)
        if (std::uint64_t{header->m_offset} + CZipEntryHeader::LocalSize > m_directoryOffset)
            Damaged(store.GetArchivePath());
}

void CZipDirectory::ParseRecords(const char* data, std::uint32_t size, std::uint32_t count)
{
    std::uint32_t used = 0;
    std::string stored;
    for (std::uint32_t i = 0; i < count; ++i) {
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
    store.ChangeVolume(m_directoryVolume);
    store.GetStream().Seek(m_directoryOffset, CZipStream::FromBegin);
    std::string record;
    std::string stored;
    for (std::uint32_t i = 0; i < m_records; ++i) {
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
        header->ReadCentral(record.data(), static_cast<std::uint32_t>(record.size()), stored);
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
