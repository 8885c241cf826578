#pragma once

#include <cstdint>
#include <string>

// Sizes as the user reads and types them ("1.50 MB", "100 Mb", "700 megabyte").
// Both directions are independent of the C locale, so a German desktop still shows
// and accepts a decimal point.

// "%d Bytes" up to 1024 bytes, then "%.2f KB" up to 1 MiB, "%.2f MB" up to 1 GiB,
// and "%.2f GB" above; each threshold itself still belongs to the smaller unit.
std::string FormatSizeText(std::uint64_t bytes);

// Reads "<number> <unit>": the number is the longest leading run of digits and
// points, the unit the text after the last blank (GB/gigabyte, MB/megabyte,
// KB/kilobyte, bytes/byte, in any letter case). False (and `bytes` 0) for a missing
// or zero number, an unknown unit, or a size beyond 64 bits.
bool ParseSizeText(const std::string& text, std::uint64_t& bytes);
