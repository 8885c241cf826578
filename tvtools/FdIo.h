#pragma once

#include <cstddef>

// Writes all `size` bytes to `fd`, going on after interruptions and short writes.
// False when a write fails (errno tells why) or makes no progress.
bool TvWriteAll(int fd, const void* data, std::size_t size);
