// Writing the central directory and the end record.
#include "ZipDirectory.h"

#include "ZipException.h"
#include "ZipProgressCallback.h"
#include "ZipVolumeStore.h"

using namespace ZipBytes;

// A spanned archive that still fits on its first volume becomes an ordinary one:
// the store compacts the volume and the headers take the new offsets and flags.
bool CZipDirectory::ConvertSpanned(CZipVolumeStore& store)
{
    if (store.IsSpanMode() != 1 || store.IsConverted() || store.GetCurrentVolume() != 0)
        return false;
    // The compaction works on 32-bit records only: a volume with zip64 entries, or
    // one whose directory would need the zip64 end, stays a spanned archive.
    const std::uint64_t size = GetWrittenSize();
    if (NeedsZip64End(store.GetPosition(), size))
        return false;
    std::vector<CZipSpanEntry> entries;
    entries.reserve(m_headers.size());
    for (const auto& header : m_headers) {
        if (header->m_zip64Local || header->NeedsZip64Central())
            return false;
        entries.push_back({static_cast<std::uint32_t>(header->m_offset), header->m_flags,
                           header->m_crc, static_cast<std::uint32_t>(header->m_compressedSize),
                           static_cast<std::uint32_t>(header->m_uncompressedSize)});
    }
    if (!store.ConvertToSingleVolume(entries, static_cast<std::uint32_t>(size)))
        return false;
    for (std::size_t i = 0; i < m_headers.size(); ++i) {
        m_headers[i]->m_offset = entries[i].offset;
        m_headers[i]->m_flags = entries[i].flags;
    }
    m_bytesBeforeZip = 0;
    return true;
}

void CZipDirectory::Write(CZipVolumeStore& store, CZipProgressCallback* callback)
{
    if (m_headers.size() >= MaxEntries)
        throw CZipException(CZipException::ErrInternal, store.GetArchivePath());
    const bool conversion = ConvertSpanned(store);
    try {
        WriteRecords(store, callback);
    } catch (...) {
        if (conversion)
            store.FinishSpan(); // what is on the disk is a plain archive now
        throw;
    }
    m_onDisk = true;
}

void CZipDirectory::WriteRecords(CZipVolumeStore& store, CZipProgressCallback* callback)
{
    if (callback) {
        callback->Init();
        callback->SetTotal(static_cast<std::uint32_t>(m_headers.size()));
    }
    m_directorySize = 0;
    m_directoryVolume = static_cast<std::uint32_t>(store.GetCurrentVolume());
    m_directoryOffset = store.GetPosition() - m_bytesBeforeZip;
    int volume = store.GetCurrentVolume();
    std::uint64_t here = 0;
    std::string record;
    for (std::size_t i = 0; i < m_headers.size(); ++i) {
        record.clear();
        CZipEntryHeader& header = *m_headers[i];
        header.WriteCentral(record, header.GetStoredName());
        store.Write(record.data(), static_cast<std::uint32_t>(record.size()), true);
        if (store.GetCurrentVolume() != volume) {
            volume = store.GetCurrentVolume();
            here = 0;
        }
        if (i == 0) { // the first record may have opened a new volume
            m_directoryVolume = static_cast<std::uint32_t>(volume);
            m_directoryOffset = store.GetPosition() - record.size() - m_bytesBeforeZip;
        }
        ++here;
        m_directorySize += record.size();
        // Progress only: the directory is what makes the archive readable, so a
        // cancel never stops it half-way.
        if (callback && (i + 1) % CZipProgressCallback::CallbackStep == 0) {
            callback->m_type = CZipProgressCallback::CbSave;
            callback->Callback(CZipProgressCallback::CallbackStep);
        }
    }
    WriteEndRecord(store, volume, here);
    if (callback)
        callback->CallbackEnd();
}

// The end record lies wholly on one volume; if writing it opened a new one, its
// counts are put right there.
void CZipDirectory::WriteEndRecord(CZipVolumeStore& store, int lastRecordVolume,
                                   std::uint64_t recordsThere)
{
    m_records = m_headers.size();
    m_thisVolume = static_cast<std::uint32_t>(store.GetCurrentVolume());
    m_recordsHere = store.GetCurrentVolume() == lastRecordVolume ? recordsThere : 0;
    if (m_headers.empty())
        m_recordsHere = 0;
    std::uint64_t start = store.GetPosition();
    std::string end = EndRecordBytes(start);
    store.Write(end.data(), static_cast<std::uint32_t>(end.size()), true);
    m_endRecordPosition = store.GetPosition() - EndRecordSize - m_comment.size();
    if (store.GetCurrentVolume() == static_cast<int>(m_thisVolume))
        return;
    // The records opened a new volume: they start at its beginning.
    start = store.GetPosition() - end.size();
    m_thisVolume = static_cast<std::uint32_t>(store.GetCurrentVolume());
    m_recordsHere = 0;
    end = EndRecordBytes(start);
    CZipStream& stream = store.GetStream();
    stream.Seek(static_cast<std::int64_t>(start), CZipStream::FromBegin);
    stream.Write(end.data(), static_cast<std::uint32_t>(end.size()));
    stream.SeekToEnd();
}

std::string CZipDirectory::EndRecordBytes(std::uint64_t position) const
{
    const bool zip64 = NeedsZip64End(m_directoryOffset, m_directorySize);
    std::string out;
    if (zip64) {
        Put32(out, Zip64EndSignature);
        Put64(out, Zip64EndRecordSize - 12); // the record's size after this field
        Put16(out, CZipEntryHeader::VersionZip64);
        Put16(out, CZipEntryHeader::VersionZip64);
        Put32(out, m_thisVolume);
        Put32(out, m_directoryVolume);
        Put64(out, m_recordsHere);
        Put64(out, m_records);
        Put64(out, m_directorySize);
        Put64(out, m_directoryOffset);
        Put32(out, Zip64LocatorSignature);
        Put32(out, m_thisVolume);
        Put64(out, position - m_bytesBeforeZip);
        Put32(out, m_thisVolume + 1);
    }
    auto count = [zip64](std::uint64_t value) {
        return zip64 && value >= 0xFFFF ? std::uint16_t{0xFFFF} : static_cast<std::uint16_t>(value);
    };
    Put32(out, EndSignature);
    Put16(out, static_cast<std::uint16_t>(m_thisVolume));
    Put16(out, static_cast<std::uint16_t>(m_directoryVolume));
    Put16(out, count(m_recordsHere));
    Put16(out, count(m_records));
    Put32(out, CZipEntryHeader::Escaped(m_directorySize));
    Put32(out, CZipEntryHeader::Escaped(m_directoryOffset));
    Put16(out, static_cast<std::uint16_t>(m_comment.size()));
    out += m_comment;
    return out;
}
