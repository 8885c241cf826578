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
    std::vector<CZipSpanEntry> entries;
    entries.reserve(m_headers.size());
    for (const auto& header : m_headers)
        entries.push_back({header->m_offset, header->m_flags, header->m_crc,
                           header->m_compressedSize, header->m_uncompressedSize});
    if (!store.ConvertToSingleVolume(entries, GetWrittenSize()))
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
    if (m_headers.size() > MaxEntries)
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
    m_directoryVolume = static_cast<std::uint16_t>(store.GetCurrentVolume());
    m_directoryOffset = store.GetPosition() - m_bytesBeforeZip;
    int volume = store.GetCurrentVolume();
    std::uint16_t here = 0;
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
            m_directoryVolume = static_cast<std::uint16_t>(volume);
            m_directoryOffset =
                store.GetPosition() - static_cast<std::uint32_t>(record.size()) - m_bytesBeforeZip;
        }
        ++here;
        m_directorySize += static_cast<std::uint32_t>(record.size());
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
                                   std::uint16_t recordsThere)
{
    m_records = static_cast<std::uint16_t>(m_headers.size());
    m_thisVolume = static_cast<std::uint16_t>(store.GetCurrentVolume());
    m_recordsHere = store.GetCurrentVolume() == lastRecordVolume ? recordsThere : 0;
    if (m_headers.empty())
        m_recordsHere = 0;
    std::string end = EndRecordBytes();
    store.Write(end.data(), static_cast<std::uint32_t>(end.size()), true);
    m_endRecordPosition = store.GetPosition() - static_cast<std::uint32_t>(end.size());
    if (store.GetCurrentVolume() == m_thisVolume)
        return;
    m_thisVolume = static_cast<std::uint16_t>(store.GetCurrentVolume());
    m_recordsHere = 0;
    end = EndRecordBytes();
    CZipStream& stream = store.GetStream();
    stream.Seek(m_endRecordPosition, CZipStream::FromBegin);
    stream.Write(end.data(), static_cast<std::uint32_t>(end.size()));
    stream.SeekToEnd();
}

std::string CZipDirectory::EndRecordBytes() const
{
    std::string out;
    Put32(out, EndSignature);
    Put16(out, m_thisVolume);
    Put16(out, m_directoryVolume);
    Put16(out, m_recordsHere);
    Put16(out, m_records);
    Put32(out, m_directorySize);
    Put32(out, m_directoryOffset);
    Put16(out, static_cast<std::uint16_t>(m_comment.size()));
    out += m_comment;
    return out;
}
