#pragma once

#include <cstdint>
#include <string>

// The size of one part of a backup in parts, or of one disc, as the user typed it.
namespace partsize {

inline constexpr std::uint64_t kMinimum = 64 * 1024;
inline constexpr std::uint64_t kMaximum = 2ull * 1024 * 1024 * 1024;

// The size in bytes, or 0 after the user was told why the text cannot be used (text
// 136 for an unreadable text, the limits for one outside 64 KB - 2 GB). The archive
// keeps a volume size in an int: 2 GB itself becomes one byte less.
std::uint32_t Parse(const std::string& text);

} // namespace partsize
