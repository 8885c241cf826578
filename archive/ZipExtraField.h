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
// The modification time of the extended timestamp, else of the NTFS times, when
// `extra` holds one.
bool GetModificationTime(const std::string& extra, std::time_t& modified);

// Unicode Path and Unicode Comment (Info-ZIP): version byte 1, the CRC-32 of the name
// (comment) bytes the record stores, then the text in UTF-8. Tools on systems with a
// legacy code page store the name in that page and add this copy; the CRC tells
// whether a later tool changed the name without updating the copy.
constexpr std::uint16_t UnicodePath = 0x7075;
constexpr std::uint16_t UnicodeComment = 0x6375;
// NTFS times: a reserved u32, then attributes (tag u16, size u16, data). Attribute 1
// (24 bytes) holds modification, access and creation time as FILETIMEs: 100 ns
// units since 1601-01-01 UTC.
constexpr std::uint16_t NtfsTimes = 0x000A;

// The text of the `tag` block (UnicodePath or UnicodeComment) when it is version 1,
// its CRC matches `storedBytes` and the text is non-empty UTF-8 without NUL.
bool GetUnicodeText(const std::string& extra, std::uint16_t tag, const std::string& storedBytes,
                    std::string& utf8);
// The modification time of the NTFS times, when there is one within years 1601-9999.
bool GetNtfsModificationTime(const std::string& extra, std::time_t& modified);

} // namespace ZipExtraField
