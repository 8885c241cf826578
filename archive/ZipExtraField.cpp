#include "ZipExtraField.h"

#include "ZipEntryHeader.h"

#include "Utf8.h"

#include <zlib.h>

#include <limits>
#include <utility>

using namespace ZipBytes;

namespace ZipExtraField {

namespace {

constexpr std::uint8_t HasModificationTime = 0x01;

// Calls `visit(tag, start, size)` for each whole block; stops at a malformed one.
template <typename Visit>
void ForEachBlock(const std::string& extra, Visit visit)
{
    std::size_t at = 0;
    while (at + 4 <= extra.size()) {
        const std::uint16_t tag = Get16(extra.data() + at);
        const std::uint16_t size = Get16(extra.data() + at + 2);
        if (at + 4 + size > extra.size())
            return;
        if (!visit(tag, at, std::size_t{4} + size))
            return;
        at += 4 + std::size_t{size};
    }
}

} // namespace

bool Find(const std::string& extra, std::uint16_t tag, std::string& data)
{
    bool found = false;
    ForEachBlock(extra, [&](std::uint16_t blockTag, std::size_t start, std::size_t length) {
        if (blockTag != tag)
            return true;
        data = extra.substr(start + 4, length - 4);
        found = true;
        return false;
    });
    return found;
}

std::string Without(const std::string& extra, std::uint16_t tag)
{
    std::string kept;
    ForEachBlock(extra, [&](std::uint16_t blockTag, std::size_t start, std::size_t length) {
        if (blockTag != tag)
            kept.append(extra, start, length);
        return true;
    });
    return kept;
}

std::string Only(const std::string& extra, std::uint16_t tag)
{
    std::string kept;
    ForEachBlock(extra, [&](std::uint16_t blockTag, std::size_t start, std::size_t length) {
        if (blockTag == tag)
            kept.append(extra, start, length);
        return true;
    });
    return kept;
}

void SetModificationTime(std::string& extra, std::time_t modified)
{
    extra = Without(extra, ExtendedTimestamp);
    if (modified < std::numeric_limits<std::int32_t>::min() ||
        modified > std::numeric_limits<std::int32_t>::max())
        return;
    Put16(extra, ExtendedTimestamp);
    Put16(extra, 5);
    extra.push_back(static_cast<char>(HasModificationTime));
    Put32(extra, static_cast<std::uint32_t>(static_cast<std::int32_t>(modified)));
}

bool GetModificationTime(const std::string& extra, std::time_t& modified)
{
    std::string data;
    if (!Find(extra, ExtendedTimestamp, data) || data.size() < 5 ||
        !(static_cast<std::uint8_t>(data[0]) & HasModificationTime))
        return GetNtfsModificationTime(extra, modified);
    modified = static_cast<std::int32_t>(Get32(data.data() + 1));
    return true;
}

namespace {

// Valid UTF-8 with at least one character and no NUL, which would cut the name
// short wherever it is handed on as a C string.
bool IsUsableUtf8(const std::string& text)
{
    for (std::size_t at = 0; at < text.size();) {
        char32_t cp = 0;
        const std::size_t length = TvDecodeUtf8At(text, at, cp);
        if (length == 0 || cp == 0)
            return false;
        at += length;
    }
    return !text.empty();
}

constexpr std::uint16_t NtfsTimesAttribute = 1;
constexpr std::size_t NtfsTimesSize = 24;
constexpr std::uint64_t FiletimeTicksPerSecond = 10000000;
constexpr std::int64_t FiletimeEpochTo1970 = 11644473600; // seconds from 1601 to 1970
// 9999-12-31 23:59:59 UTC: calendar conversions of later times fail or overflow.
constexpr std::uint64_t LastFiletimeSecond = 253402300799 + FiletimeEpochTo1970;

static_assert(sizeof(std::time_t) >= 8, "FILETIMEs need a 64-bit time_t");

// Windows writes 0 for a time it does not know.
bool FiletimeToTime(std::uint64_t ticks, std::time_t& time)
{
    const std::uint64_t seconds = ticks / FiletimeTicksPerSecond;
    if (ticks == 0 || seconds > LastFiletimeSecond)
        return false;
    time = static_cast<std::time_t>(static_cast<std::int64_t>(seconds) - FiletimeEpochTo1970);
    return true;
}

} // namespace

bool GetUnicodeText(const std::string& extra, std::uint16_t tag, const std::string& storedBytes,
                    std::string& utf8)
{
    constexpr std::size_t TextStart = 5; // version byte and CRC
    std::string data;
    if (!Find(extra, tag, data) || data.size() <= TextStart || data[0] != 1)
        return false;
    const auto crc = crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(storedBytes.data()),
                           static_cast<uInt>(storedBytes.size()));
    std::string text = data.substr(TextStart);
    if (Get32(data.data() + 1) != crc || !IsUsableUtf8(text))
        return false;
    utf8 = std::move(text);
    return true;
}

bool GetNtfsModificationTime(const std::string& extra, std::time_t& modified)
{
    std::string data;
    if (!Find(extra, NtfsTimes, data))
        return false;
    for (std::size_t at = 4; at + 4 <= data.size();) {
        const std::uint16_t tag = Get16(data.data() + at);
        const std::size_t size = Get16(data.data() + at + 2);
        at += 4;
        if (at + size > data.size())
            return false;
        if (tag == NtfsTimesAttribute)
            return size == NtfsTimesSize && FiletimeToTime(Get64(data.data() + at), modified);
        at += size;
    }
    return false;
}

std::string MakeAes(const AesInfo& info)
{
    std::string block;
    Put16(block, AesTag);
    Put16(block, 7);
    Put16(block, info.version);
    block += "AE";
    block.push_back(static_cast<char>(info.strength));
    Put16(block, info.method);
    return block;
}

bool GetAes(const std::string& extra, AesInfo& info)
{
    std::string data;
    if (!Find(extra, AesTag, data) || data.size() != 7 || data.compare(2, 2, "AE") != 0)
        return false;
    const std::uint16_t version = Get16(data.data());
    const int strength = static_cast<std::uint8_t>(data[4]);
    if (version < 1 || version > 2 || strength < 1 || strength > 3)
        return false;
    info = {version, strength, Get16(data.data() + 5)};
    return true;
}

} // namespace ZipExtraField
