#include "ZipSpanCompaction.h"

#include <cstring>

namespace {

constexpr std::uint32_t kSpanSignature = 0x08074B50;
constexpr std::uint32_t kLocalSignature = 0x04034B50;
constexpr std::uint32_t kLocalHeaderSize = 30;
constexpr std::uint32_t kDescriptorSize = 16;
constexpr std::uint16_t kFlagEncrypted = 0x0001;
constexpr std::uint16_t kFlagDescriptor = 0x0008;

std::uint32_t Get32(const char* p)
{
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

std::uint16_t Get16(const char* p)
{
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

void Put32(char* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

void Put16(char* p, std::uint16_t v)
{
    p[0] = static_cast<char>(v & 0xFF);
    p[1] = static_cast<char>(v >> 8);
}

bool DropsDescriptor(const CZipSpanEntry& entry)
{
    return !(entry.flags & kFlagEncrypted) && (entry.flags & kFlagDescriptor);
}

// End of entry `i`'s span: the next entry's header, or the end of the data.
std::uint64_t SpanEnd(const std::vector<CZipSpanEntry>& entries, std::size_t i,
                      std::uint32_t length)
{
    return i + 1 < entries.size() ? entries[i + 1].offset : length;
}

// Where the entry's data ends (its descriptor, if any, starts there).
std::uint64_t DataEnd(const char* data, const CZipSpanEntry& e)
{
    const char* header = data + e.offset;
    return std::uint64_t{e.offset} + kLocalHeaderSize + Get16(header + 26) + Get16(header + 28) +
           e.compressedSize;
}

bool EntryFits(const char* data, std::uint32_t length, const std::vector<CZipSpanEntry>& entries,
               std::size_t i)
{
    const CZipSpanEntry& e = entries[i];
    const std::uint64_t end = SpanEnd(entries, i, length);
    if (end > length || e.offset >= end || end - e.offset < kLocalHeaderSize)
        return false;
    if (Get32(data + e.offset) != kLocalSignature)
        return false;
    return DataEnd(data, e) + (DropsDescriptor(e) ? kDescriptorSize : 0) <= end;
}

bool Check(const char* data, std::uint32_t length, const std::vector<CZipSpanEntry>& entries)
{
    if (length < 4 || Get32(data) != kSpanSignature)
        return false;
    std::uint32_t previous = 4;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].offset < previous || !EntryFits(data, length, entries, i))
            return false;
        previous = entries[i].offset + 1;
    }
    return true;
}

} // namespace

std::uint32_t SpanCompactionSavings(const std::vector<CZipSpanEntry>& entries)
{
    std::uint32_t savings = 4;
    for (const CZipSpanEntry& entry : entries) {
        if (DropsDescriptor(entry))
            savings += kDescriptorSize;
    }
    return savings;
}

bool CompactSpannedVolume(char* data, std::uint32_t& length, std::vector<CZipSpanEntry>& entries)
{
    if (!Check(data, length, entries))
        return false;
    // Bytes between the signature and the first entry (none, normally) move along.
    const std::uint32_t first = entries.empty() ? length : entries[0].offset;
    std::memmove(data, data + 4, first - 4);
    std::uint32_t out = first - 4;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        CZipSpanEntry& e = entries[i];
        char* header = data + e.offset;
        // Kept: the header and data, then whatever follows the descriptor (nothing,
        // unless a failed entry left bytes behind).
        const bool drop = DropsDescriptor(e);
        const std::uint32_t span =
            static_cast<std::uint32_t>(SpanEnd(entries, i, length)) - e.offset;
        const std::uint32_t head =
            drop ? static_cast<std::uint32_t>(DataEnd(data, e) - e.offset) : span;
        const std::uint32_t skip = drop ? kDescriptorSize : 0;
        const std::uint32_t tail = span - head - skip;
        if (drop) {
            e.flags = static_cast<std::uint16_t>(e.flags & ~kFlagDescriptor);
            Put16(header + 6, static_cast<std::uint16_t>(Get16(header + 6) & ~kFlagDescriptor));
        }
        Put32(header + 14, e.crc);
        Put32(header + 18, e.compressedSize);
        Put32(header + 22, e.uncompressedSize);
        std::memmove(data + out, header, head);
        std::memmove(data + out + head, header + head + skip, tail);
        e.offset = out;
        out += head + tail;
    }
    length = out;
    return true;
}
