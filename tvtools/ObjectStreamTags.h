#pragma once

#include <cstdint>

// The tags in front of objects in the object stream, shared by writer and reader.
namespace objecttag {

inline constexpr std::uint16_t kNullTag = 0x0000;
inline constexpr std::uint16_t kNewClassTag = 0xFFFF;
inline constexpr std::uint16_t kBigTag = 0x7FFF;
inline constexpr std::uint16_t kClassTag = 0x8000;
inline constexpr std::uint32_t kBigClassTag = 0x80000000u;
// The wide form keeps the top bit for "class", so numbers must stay below it.
inline constexpr std::uint32_t kMaxNumber = 0x7FFFFFFFu;

} // namespace objecttag
