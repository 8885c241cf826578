#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Reads a whole regular file into `bytes`. Anything else (a folder, a device, a pipe)
// is refused with EINVAL, since it would fail half way or block. False with errno set
// on failure; `bytes` is then unchanged.
bool TvReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes);

// Replaces `path` with `bytes` through a new file in the same folder that is flushed
// and then renamed over it, so the file is either the old one or the complete new one.
// An existing file keeps its permission bits. False with errno set when nothing was
// replaced (the temporary file is removed again).
bool TvReplaceFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
