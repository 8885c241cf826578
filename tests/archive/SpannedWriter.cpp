#include "SpannedWriter.h"

#include "ZipVolumeStore.h"

#include "TestZip.h"

namespace tbmtest {

std::vector<CZipSpanEntry> WriteSpannedEntries(CZipVolumeStore& store,
                                               const std::vector<TestEntry>& entries)
{
    std::vector<CZipSpanEntry> spans;
    for (const TestEntry& e : entries) {
        const std::string record = SpannedEntry(e.name, e.data, e.extraFlags);
        const std::size_t header = 30 + e.name.size();
        CZipSpanEntry span;
        span.offset = store.GetPosition();
        span.flags = static_cast<std::uint16_t>(0x0008 | e.extraFlags);
        span.crc = Crc(e.data);
        span.compressedSize = span.uncompressedSize = static_cast<std::uint32_t>(e.data.size());
        store.Write(record.data(), static_cast<std::uint32_t>(header), true);
        store.Write(record.data() + header, static_cast<std::uint32_t>(e.data.size()), false);
        store.Write(record.data() + header + e.data.size(), 16, true);
        spans.push_back(span);
    }
    return spans;
}

std::string Directory(const std::vector<TestEntry>& entries,
                      const std::vector<CZipSpanEntry>& spans, std::uint32_t directoryOffset)
{
    std::string records;
    for (std::size_t i = 0; i < entries.size(); ++i)
        records += CentralRecord(entries[i].name, entries[i].data, spans[i].flags, spans[i].offset);
    const auto count = static_cast<std::uint16_t>(entries.size());
    return records + EndRecord(0, 0, count, count, static_cast<std::uint32_t>(records.size()),
                               directoryOffset);
}

} // namespace tbmtest
