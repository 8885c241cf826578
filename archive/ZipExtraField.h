#pragma once

#include <cstdint>
#include <ctime>
#include <string>

// The extra field of a ZIP record: blocks of (tag u16, size u16, data). Only the
// blocks this archive writes itself are built here; the rest are kept or dropped
// as a whole.
namespace ZipExtraField {

// Extended timestamp ("UT"): flags byte, then the modification time as a signed
// 32-bit count of seconds since 1970 (UTC). Readers use it instead of the DOS time,
// which is local and has a 2-second step.
constexpr std::uint16_t ExtendedTimestamp = 0x5455;

// The data of the first block with `tag`; false when there is none or the field
// is malformed before it.
bool Find(const std::string& extra, std::uint16_t tag, std::string& data);
// `extra` without any block of `tag` (a malformed tail is dropped too).
std::string Without(const std::string& extra, std::uint16_t tag);
// Only the blocks of `tag`.
std::string Only(const std::string& extra, std::uint16_t tag);
// Replaces the extended timestamp of `extra` with one holding `modified`; times
// that a signed 32-bit count cannot hold leave the field without one.
void SetModificationTime(std::string& extra, std::time_t modified);
// The modification time of the extended timestamp, when `extra` holds one.
bool GetModificationTime(const std::string& extra, std::time_t& modified);

} // namespace ZipExtraField
