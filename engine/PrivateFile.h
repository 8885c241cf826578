#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Files only their owner may read: made as a new file with mode 0600 beside the
// target, written, flushed and renamed over it, so the target is always either the
// old file or the whole new one, and never readable by others on the way.
class CPrivateFile
{
public:
    // False with errno set when the file was not replaced.
    static bool Write(const std::string& path, const std::vector<std::uint8_t>& bytes);
    // Makes the folder and any missing parents; the folder itself gets mode 0700 and,
    // when it existed and is the user's, is narrowed to it. False when it is no
    // folder of the user's afterwards.
    static bool MakePrivateFolder(const std::string& folder);
};
