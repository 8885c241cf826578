// The zip64 extra block of the records: written only where a value does not fit
// its 32-bit field, read wherever a field holds the escape.
#include "ZipEntryHeader.h"

#include "ZipExtraField.h"

#include <algorithm>

using namespace ZipBytes;

namespace {

constexpr std::uint16_t Escape16 = 0xFFFF;

} // namespace

std::uint64_t CZipEntryHeader::GetLocalHeaderSize(std::size_t nameLength) const
{
    return LocalSize + nameLength + m_extraField.size() + (m_zip64Local ? Zip64LocalBlockSize : 0);
}

bool CZipEntryHeader::NeedsZip64Central() const
{
    return !CentralZip64Block().empty();
}

void CZipEntryHeader::WriteZip64LocalSizes(std::string& out) const
{
    Put64(out, m_uncompressedSize);
    Put64(out, m_compressedSize);
}

// The values the central record cannot hold, in the order the format fixes.
std::string CZipEntryHeader::CentralZip64Block() const
{
    std::string data;
    if (m_uncompressedSize >= Escape32)
        Put64(data, m_uncompressedSize);
    if (m_compressedSize >= Escape32)
        Put64(data, m_compressedSize);
    if (m_offset >= Escape32)
        Put64(data, m_offset);
    if (data.empty())
        return {};
    std::string block;
    Put16(block, Zip64Tag);
    Put16(block, static_cast<std::uint16_t>(data.size()));
    return block + data;
}

// Takes the 64-bit values of the zip64 block for the fields that hold the escape,
// then drops the block: it is written anew from the values when needed. False when
// an escaped field has no value in the block.
bool CZipEntryHeader::ApplyZip64Block()
{
    const bool uncompressed = m_uncompressedSize == Escape32;
    const bool compressed = m_compressedSize == Escape32;
    const bool offset = m_offset == Escape32;
    const bool volume = m_volumeStart == Escape16;
    std::string data;
    if (!ZipExtraField::Find(m_extraField, Zip64Tag, data))
        return !volume; // old writers stored 0xFFFFFFFF sizes literally
    const std::size_t needed = 8 * (uncompressed + compressed + offset) + 4 * volume;
    if (data.size() < needed)
        return false;
    const char* p = data.data();
    auto take = [&p]() {
        const std::uint64_t value = Get64(p);
        p += 8;
        return value;
    };
    if (uncompressed)
        m_uncompressedSize = take();
    if (compressed)
        m_compressedSize = take();
    if (offset)
        m_offset = take();
    if (volume) {
        const std::uint32_t number = Get32(p);
        if (number >= Escape16)
            return false; // no set of ours has that many volumes
        m_volumeStart = static_cast<std::uint16_t>(number);
    }
    m_extraField = ZipExtraField::Without(m_extraField, Zip64Tag);
    return true;
}
