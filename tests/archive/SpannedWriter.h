#pragma once

#include "ZipSpanCompaction.h"

#include <string>
#include <vector>

class CZipVolumeStore;

namespace tbmtest {

struct TestEntry
{
    std::string name;
    std::string data;
    std::uint16_t extraFlags = 0; // 0x0001: take the entry as encrypted
};

// Writes entries as the archive writer does while creating a spanned archive
// (local header and descriptor atomic, data splittable) and returns what the
// central directory knows of them. Only for archives that stay on volume 0.
std::vector<CZipSpanEntry> WriteSpannedEntries(CZipVolumeStore& store,
                                               const std::vector<TestEntry>& entries);

// The central directory (records and end record) of entries on volume 0.
std::string Directory(const std::vector<TestEntry>& entries,
                      const std::vector<CZipSpanEntry>& spans, std::uint32_t directoryOffset);

} // namespace tbmtest
