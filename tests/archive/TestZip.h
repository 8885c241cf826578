#pragma once

#include <cstdint>
#include <string>

// Records of a ZIP archive built byte by byte, for tests of the layers under the
// archive writer.
namespace tbmtest {

std::string Le16(std::uint16_t value);
std::string Le32(std::uint32_t value);
std::uint32_t Crc(const std::string& data);

// A stored entry of a spanned archive: local header with flag bit 3 (CRC and sizes
// zero, as the writer leaves them), the data and a descriptor with signature.
// `extraFlags` adds bits (0x0001 marks the entry encrypted; the data is taken as is).
std::string SpannedEntry(const std::string& name, const std::string& data,
                         std::uint16_t extraFlags = 0);
std::string CentralRecord(const std::string& name, const std::string& data, std::uint16_t flags,
                          std::uint32_t offset, std::uint16_t volume = 0);
std::string EndRecord(std::uint16_t thisVolume, std::uint16_t directoryVolume,
                      std::uint16_t recordsHere, std::uint16_t records, std::uint32_t size,
                      std::uint32_t offset);

// Data that shows where every byte came from.
std::string Pattern(std::size_t size, unsigned seed = 1);

// True when Info-ZIP's unzip is installed and finds `path` sound ("unzip -tq").
bool UnzipAvailable();
bool UnzipTests(const std::string& path);

} // namespace tbmtest
