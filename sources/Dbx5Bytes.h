#pragma once

#include <cstddef>
#include <cstdint>

// Numbers of the folder index are little-endian whatever the machine.
namespace dbx5 {

inline std::uint32_t GetU32(const std::uint8_t* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

// The number formed by `count` (0-4) bytes.
inline std::uint32_t GetUpTo32(const std::uint8_t* bytes, std::size_t count)
{
    std::uint32_t value = 0;
    for (std::size_t i = count; i > 0; --i)
        value = value << 8 | bytes[i - 1];
    return value;
}

} // namespace dbx5
