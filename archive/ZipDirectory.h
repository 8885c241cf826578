#pragma once

#include "ZipEntryHeader.h"
#include "ZipLookup.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CZipProgressCallback;
class CZipVolumeStore;

// The central directory: one header per entry, in file order (volume, offset), and
// the fields of the end record. It knows whether the directory is still on disk
// (after reading or writing it) or has to be written again at close.
//
// Counts, sizes and offsets are 64-bit. When one does not fit the end record (more
// than 65,534 entries, a directory that starts or ends past 4 GiB), a zip64 end
// record and its locator go before the end record, which then holds escapes;
// archives that need none of it are written as before.
class CZipDirectory
{
public:
    static constexpr std::uint32_t EndSignature = 0x06054B50;
    static constexpr std::uint32_t EndRecordSize = 22;
    static constexpr std::uint32_t Zip64EndSignature = 0x06064B50;
    static constexpr std::uint32_t Zip64LocatorSignature = 0x07064B50;
    static constexpr std::uint32_t Zip64EndRecordSize = 56;
    static constexpr std::uint32_t Zip64LocatorSize = 20;
    // Entries are indexed with int.
    static constexpr std::uint64_t MaxEntries = 0x7FFFFFFF;
    static constexpr std::uint32_t DefaultSearchBufferSize = 32768;

    CZipDirectory() = default;
    CZipDirectory(const CZipDirectory&) = delete;
    CZipDirectory& operator=(const CZipDirectory&) = delete;

    void Clear();
    std::size_t GetCount() const { return m_headers.size(); }
    bool IsValidIndex(int index) const
    {
        return index >= 0 && static_cast<std::size_t>(index) < m_headers.size();
    }
    CZipEntryHeader& operator[](std::size_t index) { return *m_headers[index]; }
    const CZipEntryHeader& operator[](std::size_t index) const { return *m_headers[index]; }

    // Adds a header at the end, or in place of the one at `index`.
    CZipEntryHeader& Append(std::unique_ptr<CZipEntryHeader> header);
    CZipEntryHeader& Replace(std::size_t index, std::unique_ptr<CZipEntryHeader> header);
    void Remove(std::size_t index);
    // Takes the headers that `keep` does not mark out, in order.
    void RemoveIf(const std::vector<bool>& remove);

    // Index of the entry whose system-form name equals `name`; -1 when none does.
    int FindName(const std::string& name, bool caseSensitive) const;
    // Index of the entry named `name` ('/' or '\\' separators); -1 when none is.
    // Case mode 0 follows the platform (binary search in the lookup array, built on
    // first use), 1 is case-sensitive, 2 case-insensitive. `nameOnly` compares only
    // the last part of each name.
    int FindFile(std::string name, int caseMode, bool nameOnly);

    // Reads the end record and the central directory of an opened archive
    // (errors 101, 116). Returns the system id of entry 0 (-1 without entries).
    int Read(CZipVolumeStore& store);
    // Decodes `size` bytes of central records, `count` of them, into the headers
    // (101 when they are not exactly that). Used by Read for single files.
    void ParseRecords(const char* data, std::size_t size, std::uint64_t count);

    // Writes every central record and the end record; the callback hears of the
    // progress but cannot stop it.
    void Write(CZipVolumeStore& store, CZipProgressCallback* callback);
    // Where the ZIP data's central directory starts in the current file.
    std::uint64_t GetDirectoryFilePosition() const { return m_bytesBeforeZip + m_directoryOffset; }
    // Size the written directory takes: records, end records and comment, for a
    // directory that starts before 4 GiB.
    std::uint64_t GetWrittenSize() const;
    // Whether the end needs the zip64 records (the directory starting at `offset`).
    bool NeedsZip64End(std::uint64_t offset, std::uint64_t size) const;

    // End record fields.
    std::uint32_t m_thisVolume = 0;
    std::uint32_t m_directoryVolume = 0;
    std::uint64_t m_recordsHere = 0;
    std::uint64_t m_records = 0;
    std::uint64_t m_directorySize = 0;
    std::uint64_t m_directoryOffset = 0;
    std::string m_comment;

    std::uint64_t m_endRecordPosition = 0;
    std::uint64_t m_bytesBeforeZip = 0; // other data before the archive in its file
    bool m_onDisk = false;
    std::uint32_t m_searchBufferSize = DefaultSearchBufferSize;

private:
    std::uint64_t LocateEndRecord(CZipVolumeStore& store) const;
    void ReadEndRecord(CZipVolumeStore& store, std::uint64_t position);
    bool ReadZip64End(CZipVolumeStore& store, std::uint64_t endPosition, std::uint64_t& start);
    void CheckSingleLayout(const std::string& path, std::uint64_t directoryEnd, std::uint64_t start);
    void ReadRecordsSpanned(CZipVolumeStore& store);
    void ReadRecordsSingle(CZipVolumeStore& store);
    void SortAndCheck(const std::string& path);
    bool ConvertSpanned(CZipVolumeStore& store);
    void WriteRecords(CZipVolumeStore& store, CZipProgressCallback* callback);
    void WriteEndRecord(CZipVolumeStore& store, int lastRecordVolume, std::uint64_t recordsThere);
    // The end records as written: zip64 end record and locator when needed, end
    // record, comment. `position` is where they start in the current volume.
    std::string EndRecordBytes(std::uint64_t position) const;

    std::vector<std::unique_ptr<CZipEntryHeader>> m_headers;
    CZipLookup m_lookup; // follows every change of m_headers once built
};
