#include "ZipExtraField.h"

#include "ZipEntryHeader.h"

#include <limits>

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
        return false;
    modified = static_cast<std::int32_t>(Get32(data.data() + 1));
    return true;
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
