#include "ZipEntryHeader.h"

#include "ZipAesCrypt.h"
#include "ZipAttributes.h"
#include "ZipException.h"
#include "ZipExtraField.h"
#include "ZipPlatform.h"

#include <algorithm>

namespace ZipBytes {

void Put16(std::string& out, std::uint16_t value)
{
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

void Put32(std::string& out, std::uint32_t value)
{
    Put16(out, static_cast<std::uint16_t>(value & 0xFFFF));
    Put16(out, static_cast<std::uint16_t>(value >> 16));
}

void Put64(std::string& out, std::uint64_t value)
{
    Put32(out, static_cast<std::uint32_t>(value & 0xFFFFFFFF));
    Put32(out, static_cast<std::uint32_t>(value >> 32));
}

std::uint16_t Get16(const char* data)
{
    const auto* b = reinterpret_cast<const unsigned char*>(data);
    return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

std::uint32_t Get32(const char* data)
{
    return Get16(data) | (std::uint32_t{Get16(data + 2)} << 16);
}

std::uint64_t Get64(const char* data)
{
    return Get32(data) | (std::uint64_t{Get32(data + 4)} << 32);
}

} // namespace ZipBytes

using namespace ZipBytes;

namespace {

constexpr std::uint16_t VersionMadeBy = 20;
constexpr std::uint16_t VersionDirectory = 10;
constexpr std::uint16_t VersionFile = 20;

bool IsPlainAscii(const std::string& text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool EndsWithSeparator(const std::string& name)
{
    return !name.empty() && (name.back() == '\\' || name.back() == '/');
}

// Bits 1 and 2 tell readers how hard deflate worked (maximum, fast, super fast).
std::uint16_t DeflateFlagsFor(int level)
{
    switch (level) {
    case 1:
        return 6;
    case 2:
        return 4;
    case 8:
    case 9:
        return 2;
    default:
        return 0;
    }
}

// Stored text in the system code page: MS-DOS entries without the UTF-8 flag hold it
// in the OEM code page.
std::string FromStoredCodePage(const CZipEntryHeader& header, std::string text)
{
    if (!(header.m_flags & CZipEntryHeader::FlagUtf8) &&
        header.GetSystem() == ZipAttributes::SystemDos)
        ZipPlatform::OemToAnsi(text);
    return text;
}

// The name in system form that the stored bytes give. A Unicode Path copy counts
// only while its CRC vouches for exactly these bytes.
std::string NameFromStored(const CZipEntryHeader& header, const std::string& stored)
{
    std::string name;
    if (!ZipExtraField::GetUnicodeText(header.m_extraField, ZipExtraField::UnicodePath, stored,
                                       name))
        name = FromStoredCodePage(header, stored);
    std::replace(name.begin(), name.end(), '/', '\\');
    return name;
}

} // namespace

void CZipEntryHeader::SetSystem(int system)
{
    m_versionMadeBy = static_cast<std::uint16_t>((m_versionMadeBy & 0xFF) | ((system & 0xFF) << 8));
}

std::uint32_t CZipEntryHeader::GetSystemAttributes() const
{
    const bool folderName = EndsWithSeparator(m_fileName);
    if (!ZipAttributes::IsSupportedSystem(GetSystem()))
        return folderName ? ZipAttributes::DefaultDirectoryAttributes
                          : ZipAttributes::DefaultFileAttributes;
    if (m_externalAttr == 0 && folderName)
        return ZipAttributes::DefaultDirectoryAttributes;
    std::uint32_t attributes =
        ZipAttributes::Convert(m_externalAttr, GetSystem(), ZipAttributes::PlatformSystem);
    // Unix tools (bsdtar among them) give folders only the mode's file type, not the
    // folder bit; the type decides.
    constexpr std::uint32_t TypeMask = 0170000;
    constexpr std::uint32_t TypeFolder = 0040000;
    if (((attributes >> 16) & TypeMask) == TypeFolder)
        attributes |= ZipAttributes::AttrDirectory;
    return attributes;
}

bool CZipEntryHeader::IsDirectory() const
{
    return ZipAttributes::IsDirectory(GetSystemAttributes());
}

bool CZipEntryHeader::IsSymbolicLink() const
{
    return GetSystem() == ZipAttributes::SystemUnix && ZipAttributes::IsUnixLink(m_externalAttr) &&
           !EndsWithSeparator(m_fileName);
}

void CZipEntryHeader::SetTime(std::time_t time)
{
    ZipExtraField::SetModificationTime(m_extraField, time);
    SetDosTime(time);
}

void CZipEntryHeader::SetDosTime(std::time_t time)
{
    struct tm local
    {
    };
    if (!localtime_r(&time, &local)) {
        m_modTime = 0;
        m_modDate = (1 << 5) | 1; // 1 January 1980, the first day DOS can tell
        return;
    }
    const int year = local.tm_year + 1900;
    const int yearField = year <= 1980 ? 0 : ((year - 1980) & 127);
    m_modDate =
        static_cast<std::uint16_t>(yearField * 512 + (local.tm_mon + 1) * 32 + local.tm_mday);
    m_modTime =
        static_cast<std::uint16_t>(local.tm_hour * 2048 + local.tm_min * 32 + local.tm_sec / 2);
}

std::time_t CZipEntryHeader::GetTime() const
{
    std::time_t exact = 0;
    return GetExactTime(exact) ? exact : GetDosTime();
}

bool CZipEntryHeader::GetExactTime(std::time_t& time) const
{
    return ZipExtraField::GetModificationTime(m_extraField, time);
}

std::time_t CZipEntryHeader::GetDosTime() const
{
    struct tm local
    {
    };
    local.tm_year = (m_modDate >> 9) + 80;
    local.tm_mon = ((m_modDate >> 5) & 15) - 1;
    local.tm_mday = m_modDate & 31;
    local.tm_hour = m_modTime >> 11;
    local.tm_min = (m_modTime >> 5) & 63;
    local.tm_sec = (m_modTime & 31) * 2;
    local.tm_isdst = -1;
    return mktime(&local);
}

void CZipEntryHeader::PrepareData(int level, bool descriptor, bool encrypted)
{
    m_versionMadeBy = static_cast<std::uint16_t>((m_versionMadeBy & 0xFF00) | VersionMadeBy);
    m_versionNeeded = IsDirectory() ? VersionDirectory : VersionFile;
    m_internalAttr = 0;
    m_crc = 0;
    m_compressedSize = 0;
    m_uncompressedSize = 0;
    if (level == 0)
        m_method = MethodStored;
    else if (m_method != MethodStored)
        m_method = MethodDeflated;
    m_flags = m_method == MethodDeflated ? DeflateFlagsFor(level) : 0;
    if (descriptor || encrypted)
        m_flags |= FlagDescriptor;
    if (encrypted) {
        m_flags |= FlagEncrypted;
        m_compressedSize = EncryptionHeaderSize;
    }
}

void CZipEntryHeader::CheckLengths() const
{
    if (m_fileName.size() > MaxFieldLength || m_extraField.size() > MaxFieldLength ||
        m_comment.size() > MaxFieldLength)
        throw CZipException(CZipException::ErrNameTooLong, m_fileName);
}

std::string CZipEntryHeader::GetStoredName()
{
    // Bytes read with a Unicode Path copy; a rename, or a copy into another archive
    // without the field, stores the name anew below.
    if (m_nameStoredAs && NameFromStored(*this, *m_nameStoredAs) == m_fileName) {
        m_storedNameLength = static_cast<std::uint16_t>(m_nameStoredAs->size());
        return *m_nameStoredAs;
    }
    std::string stored = m_fileName;
    std::replace(stored.begin(), stored.end(), '\\', '/');
    // MS-DOS readers expect the OEM code page; a name it cannot spell stays UTF-8
    // and says so, rather than turning into another name.
    const bool oem = GetSystem() == ZipAttributes::SystemDos && ZipPlatform::AnsiToOem(stored);
    if (oem || IsPlainAscii(stored))
        m_flags &= static_cast<std::uint16_t>(~FlagUtf8);
    else
        m_flags |= FlagUtf8;
    m_storedNameLength = static_cast<std::uint16_t>(std::min<std::size_t>(stored.size(), 65535));
    return stored;
}

void CZipEntryHeader::SetNameFromStored(const std::string& stored)
{
    m_fileName = NameFromStored(*this, stored);
    m_nameStoredAs.reset();
    if (!ZipExtraField::Only(m_extraField, ZipExtraField::UnicodePath).empty())
        m_nameStoredAs = stored;
}

std::string CZipEntryHeader::GetComment() const
{
    std::string text;
    if (ZipExtraField::GetUnicodeText(m_extraField, ZipExtraField::UnicodeComment, m_comment, text))
        return text;
    return FromStoredCodePage(*this, m_comment);
}

std::uint64_t CZipEntryHeader::GetDataSize() const
{
    const std::uint64_t overhead = GetEncryptionOverhead();
    return m_compressedSize >= overhead ? m_compressedSize - overhead : m_compressedSize;
}

std::uint16_t CZipEntryHeader::GetDataMethod() const
{
    if (m_method != MethodAes)
        return m_method;
    ZipExtraField::AesInfo info;
    return ZipExtraField::GetAes(m_extraField, info) ? info.method : std::uint16_t{MethodUnknown};
}

int CZipEntryHeader::GetAesStrength() const
{
    ZipExtraField::AesInfo info;
    return IsAes() && ZipExtraField::GetAes(m_extraField, info) ? info.strength : 0;
}

bool CZipEntryHeader::HasDataCrc() const
{
    ZipExtraField::AesInfo info;
    return !IsAes() || !ZipExtraField::GetAes(m_extraField, info) || info.version == 1;
}

std::uint64_t CZipEntryHeader::GetEncryptionOverhead() const
{
    if (!IsEncrypted())
        return 0;
    if (!IsAes())
        return EncryptionHeaderSize;
    return CZipAesCrypt::HeaderSize(GetAesStrength()) + CZipAesCrypt::AuthCodeSize;
}

std::uint32_t CZipEntryHeader::GetCentralRecordSize() const
{
    return static_cast<std::uint32_t>(CentralSize + m_fileName.size() + m_extraField.size() +
                                      m_comment.size() + CentralZip64Block().size());
}

void CZipEntryHeader::WriteSizes(std::string& out) const
{
    Put32(out, m_crc);
    Put32(out, m_zip64Local ? Escape32 : static_cast<std::uint32_t>(m_compressedSize));
    Put32(out, m_zip64Local ? Escape32 : static_cast<std::uint32_t>(m_uncompressedSize));
}

void CZipEntryHeader::WriteLocal(std::string& out, const std::string& storedName) const
{
    Put32(out, LocalSignature);
    Put16(out, m_zip64Local ? std::max(m_versionNeeded, VersionZip64) : m_versionNeeded);
    Put16(out, m_flags);
    Put16(out, m_method);
    Put16(out, m_modTime);
    Put16(out, m_modDate);
    WriteSizes(out);
    Put16(out, static_cast<std::uint16_t>(storedName.size()));
    const std::size_t zip64 = m_zip64Local ? Zip64LocalBlockSize : 0;
    Put16(out, static_cast<std::uint16_t>(m_extraField.size() + zip64));
    out += storedName;
    if (m_zip64Local) {
        Put16(out, Zip64Tag);
        Put16(out, Zip64LocalBlockSize - 4);
        WriteZip64LocalSizes(out);
    }
    out += m_extraField;
}

void CZipEntryHeader::WriteDescriptor(std::string& out) const
{
    Put32(out, DescriptorSignature);
    Put32(out, m_crc);
    if (m_zip64Local) {
        Put64(out, m_compressedSize);
        Put64(out, m_uncompressedSize);
    } else {
        Put32(out, static_cast<std::uint32_t>(m_compressedSize));
        Put32(out, static_cast<std::uint32_t>(m_uncompressedSize));
    }
}

void CZipEntryHeader::WriteCentral(std::string& out, const std::string& storedName) const
{
    const std::string zip64 = CentralZip64Block();
    const bool any = !zip64.empty() || m_zip64Local;
    Put32(out, CentralSignature);
    Put16(out, m_versionMadeBy);
    Put16(out, any ? std::max(m_versionNeeded, VersionZip64) : m_versionNeeded);
    Put16(out, m_flags);
    Put16(out, m_method);
    Put16(out, m_modTime);
    Put16(out, m_modDate);
    Put32(out, m_crc);
    Put32(out, Escaped(m_compressedSize));
    Put32(out, Escaped(m_uncompressedSize));
    Put16(out, static_cast<std::uint16_t>(storedName.size()));
    Put16(out, static_cast<std::uint16_t>(zip64.size() + m_extraField.size()));
    Put16(out, static_cast<std::uint16_t>(m_comment.size()));
    Put16(out, m_volumeStart);
    Put16(out, m_internalAttr);
    Put32(out, m_externalAttr);
    Put32(out, Escaped(m_offset));
    out += storedName;
    out += zip64;
    out += m_extraField;
    out += m_comment;
}
