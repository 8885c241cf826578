#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// Appends the little-endian pieces of the archive form to a byte buffer: numbers,
// element counts and length-prefixed strings.
class CRegArchiveWriter
{
public:
    explicit CRegArchiveWriter(std::vector<std::uint8_t>& out) : m_out(out) {}

    void U8(std::uint8_t value) { m_out.push_back(value); }
    void U16(std::uint16_t value);
    void U32(std::uint32_t value);

    // A 16-bit count, or 0xFFFF and a 32-bit count. False for a count that even 32
    // bits cannot hold; nothing is written then.
    bool Count(std::size_t count);
    // A 1-byte length; or 0xFF and a 16-bit length; or 0xFF, 0xFFFF and a 32-bit
    // length; then the characters. False (nothing written) when too long for 32 bits.
    bool String(std::string_view text);

private:
    std::vector<std::uint8_t>& m_out;
};
