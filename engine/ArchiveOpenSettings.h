#pragma once

#include "ZipContainer.h"

#include <cstdint>

// How the next backup opens its archive; set from the job's medium by StartBackup.
struct ArchiveOpenSettings
{
    int m_nOpenMode = CZipContainer::ArcCreate;
    int m_nVolumeSize = 1400000;
    int m_nUpdateRule = 2; // 2: replace a stored file when the file on disk has changed
    int m_nFitsOnOneDisk = 0;
};

// The buffers of every archive a job opens: write, general and end-record search.
struct ArchiveBuffers
{
    static constexpr std::uint32_t kWrite = 1500000;
    static constexpr std::uint32_t kGeneral = 65536;
    static constexpr std::uint32_t kSearch = 32768;
};
