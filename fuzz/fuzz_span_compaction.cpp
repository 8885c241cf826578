// The single-volume conversion moves bytes by offsets and sizes from the directory;
// whatever they say, it must stay inside the volume. The input is the entry table
// (a count byte, then 11 bytes per entry: offset, flags, compressed size and a
// CRC byte) followed by
// the volume's bytes.
#include "ZipSpanCompaction.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

std::uint32_t Get32(const std::uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::size_t count = data[0] % 8;
    if (size < 1 + count * 11)
        return 0;
    std::vector<CZipSpanEntry> entries;
    const std::uint8_t* p = data + 1;
    for (std::size_t i = 0; i < count; ++i, p += 11) {
        CZipSpanEntry e;
        e.offset = Get32(p);
        e.flags = static_cast<std::uint16_t>(p[4] | p[5] << 8);
        e.compressedSize = Get32(p + 6);
        e.crc = p[10];
        e.uncompressedSize = e.compressedSize;
        entries.push_back(e);
    }
    const std::size_t volumeSize = size - (p - data);
    std::vector<char> volume(volumeSize);
    if (volumeSize > 0)
        std::memcpy(volume.data(), p, volumeSize);
    std::uint32_t length = static_cast<std::uint32_t>(volumeSize);
    const std::vector<char> before = volume;
    if (CompactSpannedVolume(volume.data(), length, entries)) {
        if (length > volumeSize)
            std::abort();
        for (const CZipSpanEntry& e : entries) {
            if (e.offset >= length)
                std::abort();
        }
    } else if (volume != before || length != volumeSize) {
        std::abort(); // a refusal changes nothing
    }
    return 0;
}
