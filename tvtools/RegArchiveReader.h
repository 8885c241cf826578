#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Reads the pieces of the archive form from a byte range, never past its end. Every
// read returns false when the bytes run out or a prefix is not one the form uses.
class CRegArchiveReader
{
public:
    CRegArchiveReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    std::size_t Remaining() const { return m_size - m_pos; }

    bool U8(std::uint8_t& value);
    bool U16(std::uint16_t& value);
    bool U32(std::uint32_t& value);

    // An element count. With `elementSize` it also checks that so many elements can
    // still follow, so a damaged count never makes the caller allocate for nothing.
    bool Count(std::uint32_t& count, std::size_t elementSize);
    bool String(std::string& text);

private:
    bool StringLength(std::uint32_t& length);

    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};
