#pragma once

#include <string>

// Small file-system questions of the commands.
class CTbmFiles
{
public:
    static bool IsFolder(const std::string& path);
    static bool IsFile(const std::string& path);
    // Makes the folder and those above it when missing; true when it exists after.
    static bool EnsureFolder(const std::string& path);
    // The absolute form of `path` (against the current folder), "." and ".." left.
    static std::string Absolute(const std::string& path);
};
