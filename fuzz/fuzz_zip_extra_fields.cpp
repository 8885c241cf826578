// Extra fields come from archives anyone may have made. The input is one byte giving
// the length of a stored name, the name, then an extra field. Besides the field as
// given, a Unicode Path block with the right CRC is built from the remaining bytes,
// so the text checks are reached without guessing a CRC.
#include "ZipEntryHeader.h"
#include "ZipExtraField.h"

#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

constexpr std::time_t FirstNtfsSecond = -11644473600; // 1601-01-01
constexpr std::time_t LastNtfsSecond = 253402300799;  // 9999-12-31 23:59:59

void CheckBlocks(const std::string& extra)
{
    std::string data;
    for (std::uint16_t tag : {ZipExtraField::ExtendedTimestamp, ZipExtraField::NtfsTimes,
                              ZipExtraField::UnicodePath, ZipExtraField::UnicodeComment}) {
        const std::string without = ZipExtraField::Without(extra, tag);
        const std::string only = ZipExtraField::Only(extra, tag);
        if (ZipExtraField::Find(without, tag, data) || without.size() + only.size() > extra.size())
            std::abort();
    }
}

void CheckTimes(const std::string& extra)
{
    std::time_t ntfs = 0;
    std::time_t any = 0;
    const bool haveNtfs = ZipExtraField::GetNtfsModificationTime(extra, ntfs);
    if (haveNtfs && (ntfs < FirstNtfsSecond || ntfs > LastNtfsSecond))
        std::abort();
    const bool haveAny = ZipExtraField::GetModificationTime(extra, any);
    // Without an extended timestamp the NTFS time is the only one.
    if (ZipExtraField::Only(extra, ZipExtraField::ExtendedTimestamp).empty() &&
        (haveAny != haveNtfs || (haveAny && any != ntfs)))
        std::abort();
}

std::string UnicodePathFor(const std::string& stored, const std::string& text)
{
    const auto crc = crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(stored.data()),
                           static_cast<uInt>(stored.size()));
    std::string block;
    ZipBytes::Put16(block, ZipExtraField::UnicodePath);
    ZipBytes::Put16(block, static_cast<std::uint16_t>(5 + text.size()));
    block.push_back(1);
    ZipBytes::Put32(block, static_cast<std::uint32_t>(crc));
    return block + text;
}

// A name taken from a Unicode copy is the copy's text, and is stored again as the
// bytes it was read from.
void CheckName(const std::string& stored, const std::string& extra)
{
    std::string text;
    const bool unicode =
        ZipExtraField::GetUnicodeText(extra, ZipExtraField::UnicodePath, stored, text);
    if (unicode && (text.empty() || text.find('\0') != std::string::npos))
        std::abort();
    CZipEntryHeader header;
    header.m_extraField = extra;
    header.SetNameFromStored(stored);
    header.GetComment();
    if (!unicode)
        return;
    std::replace(text.begin(), text.end(), '/', '\\');
    if (header.m_fileName != text || header.GetStoredName() != stored)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0 || size > 65535)
        return 0;
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t nameLength = std::min<std::size_t>(data[0], size - 1);
    const std::string stored = input.substr(1, nameLength);
    const std::string extra = input.substr(1 + nameLength);
    CheckBlocks(extra);
    CheckTimes(extra);
    CheckName(stored, extra);
    if (extra.size() <= 65535 - 9)
        CheckName(stored, UnicodePathFor(stored, extra));
    return 0;
}
