#pragma once

#include "ZipContainer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tbmtest {

// One entry for WriteEntries: a name ending in '\' is a folder; `mode` is the Unix
// mode of the high 16 bits (0120777 makes a link whose data is its target).
struct EntrySpec
{
    std::string name;
    std::string data;
    std::uint32_t mode = 0100644;
    int level = 6;
};

// Writes the entries to a new archive at `path` (system Unix, a fixed time).
void WriteEntries(const std::string& path, const std::vector<EntrySpec>& entries);
constexpr std::time_t EntryTime = 1500000000;

// Names in `folder` that look like leftovers of an extraction (".tbm*.tmp").
std::vector<std::string> TemporaryLeftovers(const std::string& folder);

// Flips one byte of the file at `offset`.
void FlipByte(const std::string& path, std::size_t offset);

// Offset of the data of the first entry of an archive written by WriteEntries.
std::size_t FirstDataOffset(const std::string& name);

} // namespace tbmtest
