// Decoding a central record.
#include "ZipEntryHeader.h"

using namespace ZipBytes;

std::uint32_t CZipEntryHeader::ReadCentral(const char* data, std::size_t size,
                                           std::string& storedName)
{
    if (size < CentralSize || Get32(data) != CentralSignature)
        return 0;
    const std::uint32_t nameLength = Get16(data + 28);
    const std::uint32_t extraLength = Get16(data + 30);
    const std::uint32_t commentLength = Get16(data + 32);
    const std::uint32_t total = CentralSize + nameLength + extraLength + commentLength;
    if (size < total)
        return 0;
    m_signature = CentralSignature;
    m_versionMadeBy = Get16(data + 4);
    m_versionNeeded = Get16(data + 6);
    m_flags = Get16(data + 8);
    m_method = Get16(data + 10);
    m_modTime = Get16(data + 12);
    m_modDate = Get16(data + 14);
    m_crc = Get32(data + 16);
    m_compressedSize = Get32(data + 20);
    m_uncompressedSize = Get32(data + 24);
    m_volumeStart = Get16(data + 34);
    m_internalAttr = Get16(data + 36);
    m_externalAttr = Get32(data + 38);
    m_offset = Get32(data + 42);
    const char* variable = data + CentralSize;
    storedName.assign(variable, nameLength);
    m_storedNameLength = static_cast<std::uint16_t>(nameLength);
    m_extraField.assign(variable + nameLength, extraLength);
    m_comment.assign(variable + nameLength + extraLength, commentLength);
    m_zip64Local = false;
    return ApplyZip64Block() ? total : 0;
}

std::size_t CZipEntryHeader::GetStoredNameLength() const
{
    if (m_storedNameLength > 0)
        return m_storedNameLength;
    CZipEntryHeader copy(*this);
    return copy.GetStoredName().size();
}
