#pragma once

#include "ZipContainer.h"

#include <limits>

// What AddNewFile settled about one file before writing it.
struct CZipContainer::AddPlan
{
    CZipAddInfo info;
    CZipEntryHeader header;
    int level = -1;
    int replaceIndex = -1;
    bool internal = false;
    bool directory = false;
    bool link = false;      // a symbolic link: its target is the data
    std::string linkTarget; // read once, when the size is settled
    std::uint64_t size = 0;
    bool sizeKnown = false;
    CZipProgressCallback* callback = nullptr;
    // At most this many bytes of the source go into the entry: the planned size
    // where the entry was set up for exactly that (an unencrypted empty file, a
    // replacement's room), otherwise everything up to the end of the file.
    std::uint64_t readLimit = std::numeric_limits<std::uint64_t>::max();

    bool Has(int flag) const { return (info.m_smartFlags & flag) == flag; }
    std::uint32_t ChunkSize() const { return info.m_bufferSize ? info.m_bufferSize : 65536; }
};
