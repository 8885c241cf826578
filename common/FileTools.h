#pragma once

#include <cstdint>
#include <string>

namespace tbm {

// Renames or moves a file or folder within one file system. Never replaces an
// existing entry at `to` (as Windows refuses to); false when the system refuses,
// `to` exists, or the two lie on different file systems.
bool RenameFile(const std::string& from, const std::string& to);

// The low 32 bits of a regular file's size; 0 when it cannot be opened or is not a
// regular file.
std::uint32_t GetFileLength(const std::string& path);

// Linux has no exclusive opens, so "in use" means locked: true when some other
// holder has a POSIX record lock (fcntl) or a BSD lock (flock) on the file that
// conflicts with an exclusive lock. A file that cannot be opened is not in use.
bool IsFileInUse(const std::string& path);

// Creates or truncates the file and writes the text; false when any step fails.
bool WriteTextFile(const std::string& path, const std::string& text);

// Writes the file through a temporary name and a rename (folders made when missing),
// so a reader sees the old text or the new one, never half; false when it failed.
bool WriteWholeFile(const std::string& path, const std::string& text);

} // namespace tbm
