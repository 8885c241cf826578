#include "RegArchiveReader.h"

bool CRegArchiveReader::U8(std::uint8_t& value)
{
    if (Remaining() < 1)
        return false;
    value = m_data[m_pos++];
    return true;
}

bool CRegArchiveReader::U16(std::uint16_t& value)
{
    if (Remaining() < 2)
        return false;
    value = static_cast<std::uint16_t>(m_data[m_pos] | (m_data[m_pos + 1] << 8));
    m_pos += 2;
    return true;
}

bool CRegArchiveReader::U32(std::uint32_t& value)
{
    std::uint16_t low = 0;
    std::uint16_t high = 0;
    if (Remaining() < 4 || !U16(low) || !U16(high))
        return false;
    value = low | (static_cast<std::uint32_t>(high) << 16);
    return true;
}

bool CRegArchiveReader::Count(std::uint32_t& count, std::size_t elementSize)
{
    std::uint16_t shortCount = 0;
    if (!U16(shortCount))
        return false;
    count = shortCount;
    if (shortCount == 0xFFFF && !U32(count))
        return false;
    return static_cast<std::uint64_t>(count) * elementSize <= Remaining();
}

bool CRegArchiveReader::StringLength(std::uint32_t& length)
{
    std::uint8_t byte = 0;
    if (!U8(byte))
        return false;
    if (byte < 0xFF) {
        length = byte;
        return true;
    }
    std::uint16_t word = 0;
    if (!U16(word))
        return false;
    if (word < 0xFFFE) {
        length = word;
        return true;
    }
    // 0xFFFE is not a length this form writes; only 0xFFFF leads to 32 bits.
    return word == 0xFFFF && U32(length);
}

bool CRegArchiveReader::String(std::string& text)
{
    std::uint32_t length = 0;
    if (!StringLength(length) || length > Remaining())
        return false;
    text.assign(reinterpret_cast<const char*>(m_data + m_pos), length);
    m_pos += length;
    return true;
}
