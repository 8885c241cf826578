#pragma once

#include <string>

// Creates a new, empty file with a unique name in `folder` and returns its path:
// the first three characters of `prefix`, a hexadecimal number of up to four digits
// and ".tmp" (as Windows' GetTempFileName names them). The file is created
// exclusively (O_CREAT | O_EXCL, mode 0600), so no other process can own it.
// Returns an empty string when no name could be created (folder missing, not
// writable, or all 65535 numbers taken).
std::string TvCreateTempFileName(const std::string& folder, const std::string& prefix);

// The system temporary folder: $TMPDIR when set and non-empty, else "/tmp".
std::string TvGetTempPath();
