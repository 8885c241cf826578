#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <string>
#include <vector>

// The archive form of arrays kept in binary registry values (little-endian):
//  - element count: 16 bits when below 0xFFFF, else 0xFFFF and 32 bits;
//  - byte, 16-bit and 32-bit arrays: the count, then the elements;
//  - string arrays and lists: the count, then each string as a length prefix (1 byte
//    when below 255; else 0xFF and 16 bits when below 0xFFFE; else 0xFF, 0xFFFF and
//    32 bits) and its characters, without a terminating zero.
// Encode appends to `out` and fails only for counts or lengths beyond 32 bits. Decode
// reads only within [data, data + size) and leaves `out` untouched when the bytes are
// truncated or malformed; bytes after the array are ignored.
class CRegistryArchive
{
public:
    static bool Encode(const std::vector<std::uint8_t>& in, std::vector<std::uint8_t>& out);
    static bool Encode(const std::vector<std::uint16_t>& in, std::vector<std::uint8_t>& out);
    static bool Encode(const std::vector<std::uint32_t>& in, std::vector<std::uint8_t>& out);
    static bool Encode(const std::vector<std::string>& in, std::vector<std::uint8_t>& out);
    static bool Encode(const std::list<std::string>& in, std::vector<std::uint8_t>& out);

    static bool Decode(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& out);
    static bool Decode(const std::uint8_t* data, std::size_t size, std::vector<std::uint16_t>& out);
    static bool Decode(const std::uint8_t* data, std::size_t size, std::vector<std::uint32_t>& out);
    static bool Decode(const std::uint8_t* data, std::size_t size, std::vector<std::string>& out);
    static bool Decode(const std::uint8_t* data, std::size_t size, std::list<std::string>& out);
};
