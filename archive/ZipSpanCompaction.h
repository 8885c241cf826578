#pragma once

#include <cstdint>
#include <vector>

// One entry of a spanned archive still on its first volume, as the central
// directory knows it: where its local header starts in the volume file (the
// 4-byte spanning signature included) and the values its data descriptor carries.
struct CZipSpanEntry
{
    std::uint32_t offset = 0;
    std::uint16_t flags = 0; // general-purpose flags of the central record
    std::uint32_t crc = 0;
    std::uint32_t compressedSize = 0; // with the 12-byte encryption header
    std::uint32_t uncompressedSize = 0;
};

// Turns the bytes of a spanned archive's first volume into those of an ordinary
// archive, in place: the leading spanning signature goes; every unencrypted entry
// loses its 16-byte data descriptor and flag bit 3 (in `entries` and in its local
// header); every local header gets its CRC and sizes; every entry moves down and
// its offset with it. Encrypted entries keep their descriptors, since their check
// byte depends on bit 3.
//
// `entries` must be in file order. Everything is checked before a byte is changed:
// a local header signature missing, entries out of order, or a span too short for
// its header, data and descriptor leaves data and entries untouched and returns
// false. On success `length` becomes the compacted length.
bool CompactSpannedVolume(char* data, std::uint32_t& length, std::vector<CZipSpanEntry>& entries);

// Bytes the compaction removes: the signature and one descriptor per unencrypted
// entry.
std::uint32_t SpanCompactionSavings(const std::vector<CZipSpanEntry>& entries);
