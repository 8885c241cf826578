#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

// One entry of the archive as its central record describes it. The same object
// produces the local header, the data descriptor and the central record of a new
// entry, and is filled back from a central record when an archive is read.
//
// The name is kept in system form: '\' separators and the system code page (UTF-8
// here). In the file it is stored with '/' separators; entries made on MS-DOS
// (system 0) store it in the OEM code page, and entries made here store UTF-8 with
// the language-encoding flag (bit 11) set when the name is not plain ASCII. Tools
// on systems with another legacy code page store the name in that page and add a
// UTF-8 copy (the Unicode Path extra field), which reading prefers.
class CZipEntryHeader
{
public:
    static constexpr std::uint32_t LocalSignature = 0x04034B50;
    static constexpr std::uint32_t CentralSignature = 0x02014B50;
    static constexpr std::uint32_t DescriptorSignature = 0x08074B50;
    static constexpr std::uint32_t LocalSize = 30;
    static constexpr std::uint32_t CentralSize = 46;
    static constexpr std::uint32_t DescriptorSize = 16; // with its signature
    static constexpr std::uint32_t EncryptionHeaderSize = 12;
    static constexpr std::uint32_t MaxFieldLength = 65535;

    enum Flags : std::uint16_t
    {
        FlagEncrypted = 0x0001,
        FlagDescriptor = 0x0008, // CRC and sizes follow the data
        FlagUtf8 = 0x0800,       // the name is UTF-8
    };
    enum Method : std::uint16_t
    {
        MethodStored = 0,
        MethodDeflated = 8
    };

    // Fields in the order of the central record.
    std::uint32_t m_signature = CentralSignature;
    std::uint16_t m_versionMadeBy = 0;
    std::uint16_t m_versionNeeded = 0;
    std::uint16_t m_flags = 0;
    std::uint16_t m_method = MethodDeflated;
    std::uint16_t m_modTime = 0;
    std::uint16_t m_modDate = 0;
    std::uint32_t m_crc = 0;
    std::uint32_t m_compressedSize = 0;
    std::uint32_t m_uncompressedSize = 0;
    std::uint16_t m_volumeStart = 0;
    std::uint16_t m_internalAttr = 0;
    std::uint32_t m_externalAttr = 0;
    std::uint32_t m_offset = 0;
    std::string m_extraField;
    std::string m_fileName; // system form
    std::string m_comment;
    // Length of the name as the central record stored it (0 for entries not read
    // from a file): the local header must repeat it, whatever the conversion did.
    std::uint16_t m_storedNameLength = 0;
    // The stored bytes of a name read from an entry with a Unicode Path copy: while
    // the name still reads the same, rewriting the record repeats them, so the local
    // header and the copy's CRC keep agreeing with the central record.
    std::optional<std::string> m_nameStoredAs;

    int GetSystem() const { return m_versionMadeBy >> 8; }
    void SetSystem(int system);
    bool IsEncrypted() const { return (m_flags & FlagEncrypted) != 0; }
    bool HasDescriptor() const { return (m_flags & FlagDescriptor) != 0; }
    // The attributes converted to this platform (defaults for systems without a
    // conversion), and whether they make the entry a folder.
    std::uint32_t GetSystemAttributes() const;
    bool IsDirectory() const;
    // A symbolic link made on Unix: its data is the link's target.
    bool IsSymbolicLink() const;

    // The modification time: the DOS time and date (local time, 2-second step) and
    // the exact time in UTC in the extended-timestamp extra field. GetTime prefers
    // the exact time, so times read back do not depend on the time zone.
    void SetTime(std::time_t time);
    std::time_t GetTime() const;
    // The exact time, when the entry carries one.
    bool GetExactTime(std::time_t& time) const;
    // DOS time and date alone, from and to calendar time taken as local time.
    void SetDosTime(std::time_t time);
    std::time_t GetDosTime() const;

    // Sets version, method, flags and the starting CRC and sizes of a new entry.
    void PrepareData(int level, bool descriptor, bool encrypted);
    // Error 109 when the name, extra field or comment is longer than 65,535 bytes.
    void CheckLengths() const;

    // The name as the file stores it (sets or clears FlagUtf8 to match), and back.
    // Reading prefers a sound Unicode Path copy of the name to the stored bytes.
    std::string GetStoredName();
    void SetNameFromStored(const std::string& stored);
    // The comment in the system code page: the sound Unicode Comment copy, else the
    // stored bytes converted like the name. m_comment stays as stored.
    std::string GetComment() const;

    // Compressed size without the encryption header.
    std::uint32_t GetDataSize() const;
    // Length of the stored form of the name.
    std::size_t GetStoredNameLength() const;
    std::uint32_t GetCentralRecordSize() const;

    // Appends the record's bytes to `out`.
    void WriteLocal(std::string& out, const std::string& storedName) const;
    void WriteCentral(std::string& out, const std::string& storedName) const;
    void WriteDescriptor(std::string& out) const;
    // CRC, compressed and uncompressed size as they stand at offset 14 of the local
    // header and in the descriptor.
    void WriteSizes(std::string& out) const;

    // Decodes one central record at the start of `data` (`size` bytes available).
    // Returns the bytes it takes, or 0 when the record is not whole or not a central
    // record. The name stays in stored form: SetNameFromStored converts it.
    std::uint32_t ReadCentral(const char* data, std::uint32_t size, std::string& storedName);
};

// Little-endian fields of the records.
namespace ZipBytes {
void Put16(std::string& out, std::uint16_t value);
void Put32(std::string& out, std::uint32_t value);
std::uint16_t Get16(const char* data);
std::uint32_t Get32(const char* data);
} // namespace ZipBytes
