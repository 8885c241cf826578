#pragma once

#include <cstdint>
#include <string>

// Free bytes available to the user on the file system that would hold `folder`
// (which need not exist yet); 0 when that cannot be told.
std::uint64_t GetFolderFreeSpace(const std::string& folder);
