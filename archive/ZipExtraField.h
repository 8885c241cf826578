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
// AES encryption (WinZip's form): the entry's method is 99 and this block names the
// real one. Vendor version 1 (AE-1) keeps the CRC of the plain data; version 2 (AE-2)
// stores CRC 0, since that CRC could give small files away, and relies on the
// authentication code alone.
constexpr std::uint16_t AesTag = 0x9901;
constexpr std::uint16_t AesMethod = 99;

struct AesInfo
{
    std::uint16_t version = 2; // 1 (AE-1) or 2 (AE-2)
    int strength = 3;          // 1, 2, 3: AES-128, -192, -256
    std::uint16_t method = 0;  // the compression method of the plain data
};

// The whole AES block: tag, size 7, version, vendor "AE", strength, method.
std::string MakeAes(const AesInfo& info);
// The AES block of `extra`; false when there is none or it is malformed (size not 7,
// vendor not "AE", version not 1 or 2, strength not 1 to 3).
bool GetAes(const std::string& extra, AesInfo& info);

} // namespace ZipExtraField
