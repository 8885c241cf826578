#pragma once

#include <string>
#include <string_view>
#include <vector>

// The mounted file systems, as /proc/self/mountinfo lists them.
class CZipMountTable
{
public:
    struct Entry
    {
        unsigned major = 0; // device numbers of the file system
        unsigned minor = 0;
        std::string mountPoint; // unescaped
        std::string fsType;
        std::string source; // e.g. /dev/sdb1
    };

    // Parses mountinfo text; lines that do not have the expected fields are skipped.
    static CZipMountTable Parse(std::string_view text);
    // The table of this process (empty when /proc cannot be read).
    static CZipMountTable ReadCurrent();
    // Undoes the octal escapes (\040 and the like) of a mountinfo field.
    static std::string Unescape(std::string_view field);

    // The mount that holds the absolute, resolved `path`: the longest mount point
    // that is the path or one of its ancestors; of stacked mounts the last one.
    const Entry* FindMount(const std::string& path) const;
    const std::vector<Entry>& Entries() const { return m_entries; }

private:
    std::vector<Entry> m_entries;
};
