#pragma once

#include <cstdint>

// File attributes as archive entries carry them, and their conversion between the
// systems named by the high byte of "version made by".
namespace ZipAttributes {

enum SystemId
{
    SystemDos = 0, // MS-DOS and Windows (FAT)
    SystemAmiga = 1,
    SystemVms = 2,
    SystemUnix = 3,
    SystemVmCms = 4,
    SystemAtari = 5,
    SystemOs2 = 6,
    SystemMac = 7,
    SystemZSystem = 8,
    SystemCpm = 9,
    SystemNtfs = 10,
};

// Windows attribute bits (the low byte of an attribute value).
constexpr std::uint32_t AttrReadOnly = 0x01;
constexpr std::uint32_t AttrHidden = 0x02;
constexpr std::uint32_t AttrDirectory = 0x10;
constexpr std::uint32_t AttrArchive = 0x20;

// This platform: Unix. Entries keep the real permission bits in the high 16 bits.
constexpr int PlatformSystem = SystemUnix;
// File names differ by letter case here.
constexpr bool PlatformNamesCaseSensitive = true;
// rw-r--r-- regular file with the archive bit; rwxrwxrwx folder with the folder bit
constexpr std::uint32_t DefaultFileAttributes = 0x81A40020;
constexpr std::uint32_t DefaultDirectoryAttributes = 0x41FF0010;

// True for an attribute value of a folder (bit 0x10).
inline bool IsDirectory(std::uint32_t attributes)
{
    return (attributes & AttrDirectory) != 0;
}

// Unix file type in the high 16 bits: a symbolic link, whose entry data is the
// link's target.
constexpr std::uint32_t UnixTypeMask = 0xF0000000;
constexpr std::uint32_t UnixTypeLink = 0xA0000000;
inline bool IsUnixLink(std::uint32_t attributes)
{
    return (attributes & UnixTypeMask) == UnixTypeLink;
}

// True when attributes of `system` can be converted (ids 0, 3, 6, 7 and 10).
bool IsSupportedSystem(int system);

// Converts `attributes` made on system `from` for system `to`: unchanged when the
// two are equal or either id is 11 or more; error 115 (CZipException) when either
// system has no conversion.
std::uint32_t Convert(std::uint32_t attributes, int from, int to);

// The two halves of Convert, through the common (Windows) form; 115 for systems
// without a conversion.
std::uint32_t ToCommon(std::uint32_t attributes, int system);
std::uint32_t FromCommon(std::uint32_t attributes, int system);

} // namespace ZipAttributes
