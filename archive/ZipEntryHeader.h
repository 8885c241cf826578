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
//
// Sizes and the offset are 64-bit. The records hold 32 bits; a value that does not
// fit is stored as 0xFFFFFFFF with the real one in a zip64 extra block, which is
// written only where it is needed and kept out of m_extraField in memory.
class CZipEntryHeader
{
public:
    static constexpr std::uint32_t LocalSignature = 0x04034B50;
    static constexpr std::uint32_t CentralSignature = 0x02014B50;
    static constexpr std::uint32_t DescriptorSignature = 0x08074B50;
    static constexpr std::uint32_t LocalSize = 30;
    static constexpr std::uint32_t CentralSize = 46;
    static constexpr std::uint32_t DescriptorSize = 16; // with its signature
    static constexpr std::uint32_t Zip64DescriptorSize = 24;
    static constexpr std::uint32_t Zip64LocalBlockSize = 20; // tag, size, two sizes
    static constexpr std::uint16_t VersionZip64 = 45;
    static constexpr std::uint16_t Zip64Tag = 0x0001;
    static constexpr std::uint32_t Escape32 = 0xFFFFFFFF;
    // A 64-bit value as a 32-bit field: itself, or the escape when it does not fit.
    static std::uint32_t Escaped(std::uint64_t value)
    {
        return value >= Escape32 ? Escape32 : static_cast<std::uint32_t>(value);
    }
    // Entries from files this large carry zip64 sizes in their local header: the
    // compressed data may grow past 4 GiB even when the file does not quite reach it.
    static constexpr std::uint64_t Zip64LocalThreshold = 0xF0000000;
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
        MethodDeflated = 8,
        MethodAes = 99, // AES encrypted; the extra field names the real method
        MethodUnknown = 0xFFFF
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
    std::uint64_t m_compressedSize = 0;
    std::uint64_t m_uncompressedSize = 0;
    std::uint16_t m_volumeStart = 0;
    std::uint16_t m_internalAttr = 0;
    std::uint32_t m_externalAttr = 0;
    std::uint64_t m_offset = 0;
    std::string m_extraField;
    std::string m_fileName; // system form
    std::string m_comment;
    // Length of the name as the central record stored it (0 for entries not read
    // from a file): the local header must repeat it, whatever the conversion did.
    std::uint16_t m_storedNameLength = 0;
    // The local header carries the zip64 block with both sizes (0xFFFFFFFF in its
    // own fields), and the data descriptor, if any, has 64-bit sizes.
    bool m_zip64Local = false;
    // The stored bytes of a name read from an entry with a Unicode Path copy: while
    // the name still reads the same, rewriting the record repeats them, so the local
    // header and the copy's CRC keep agreeing with the central record.
    std::optional<std::string> m_nameStoredAs;

    int GetSystem() const { return m_versionMadeBy >> 8; }
    void SetSystem(int system);
    bool IsEncrypted() const { return (m_flags & FlagEncrypted) != 0; }
    bool HasDescriptor() const { return (m_flags & FlagDescriptor) != 0; }
    bool IsAes() const { return IsEncrypted() && m_method == MethodAes; }
    // The compression method of the data: under AES the one its extra block names
    // (MethodUnknown when that block is missing or malformed).
    std::uint16_t GetDataMethod() const;
    // Bytes of the compressed size that are not data: the traditional 12-byte
    // header, or AES salt, verifier and authentication code; 0 unencrypted.
    std::uint64_t GetEncryptionOverhead() const;
    // The AES key strength (1-3) of an AES entry, 0 otherwise.
    int GetAesStrength() const;
    // The AES form keeps the CRC of the data (AE-1) or stores 0 (AE-2, ours): only
    // the authentication code protects the data then.
    bool HasDataCrc() const;
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
    std::uint64_t GetDataSize() const;
    // Length of the stored form of the name.
    std::size_t GetStoredNameLength() const;
    std::uint32_t GetCentralRecordSize() const;
    std::uint32_t GetDescriptorSize() const
    {
        return m_zip64Local ? Zip64DescriptorSize : DescriptorSize;
    }
    // Size of the local header with the stored name `nameLength` bytes long.
    std::uint64_t GetLocalHeaderSize(std::size_t nameLength) const;
    // Whether the central record needs a zip64 block.
    bool NeedsZip64Central() const;

    // Appends the record's bytes to `out`.
    void WriteLocal(std::string& out, const std::string& storedName) const;
    void WriteCentral(std::string& out, const std::string& storedName) const;
    void WriteDescriptor(std::string& out) const;
    // CRC, compressed and uncompressed size as they stand at offset 14 of the local
    // header (escaped for a zip64 local header) and in the descriptor.
    void WriteSizes(std::string& out) const;
    // The two 64-bit sizes of the local zip64 block, which starts right after the
    // stored name: uncompressed, then compressed.
    void WriteZip64LocalSizes(std::string& out) const;

    // Decodes one central record at the start of `data` (`size` bytes available).
    // Returns the bytes it takes, or 0 when the record is not whole or not a central
    // record. The name stays in stored form: SetNameFromStored converts it.
    std::uint32_t ReadCentral(const char* data, std::size_t size, std::string& storedName);

private:
    std::string CentralZip64Block() const;
    bool ApplyZip64Block();
};

// Little-endian fields of the records.
namespace ZipBytes {
void Put16(std::string& out, std::uint16_t value);
void Put32(std::string& out, std::uint32_t value);
void Put64(std::string& out, std::uint64_t value);
std::uint16_t Get16(const char* data);
std::uint32_t Get32(const char* data);
std::uint64_t Get64(const char* data);
} // namespace ZipBytes
