#pragma once

#include <string>
#include <string_view>

// Largest registry file read, in bytes: far above any export, low enough that a wrong
// file named by mistake is refused instead of filling the memory.
inline constexpr std::size_t kRegMaxFileSize = 256u << 20;

// The whole file. Throws CRegFileError (with the system's reason) when it cannot be
// read or is larger than kRegMaxFileSize.
std::string RegReadFile(const std::string& path);

// Writes `bytes` to a temporary file beside `path` and renames it over `path`, so the
// file appears whole or not at all and a file that was there stays intact on failure.
// The file is private to the user (mode 0600): exports may hold account data.
// Throws CRegFileError on failure, after removing the temporary file.
void RegWriteFileWhole(const std::string& path, std::string_view bytes);
