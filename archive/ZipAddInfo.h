#pragma once

#include <cstdint>
#include <string>

// The options of one AddNewFile call.
struct CZipAddInfo
{
    enum SmartFlags
    {
        SmartPassDir = 1,      // folders are written unencrypted even with a password
        SmartPassEmpty = 2,    // so are empty files
        SmartStoreSmall = 4,   // files shorter than 5 bytes are stored
        SmartCheckGain = 8,    // an entry that compression makes larger is stored
        SmartInMemory = 16,    // with 8: trial compression in memory, not a temporary file
        SmartInternal = 0xF000 // an internal re-entry: no new progress set-up
    };
    static constexpr int DefaultSmartFlags = SmartPassDir | SmartPassEmpty | SmartStoreSmall;
    static constexpr int AppendIndex = -1;
    static constexpr int LookUpName = -2;

    std::string m_path;          // file or folder on disk
    std::string m_nameInArchive; // empty: derived from the path
    bool m_fullPath = false;     // derive the name from the whole path, not the file name
    int m_level = -1;            // zlib level -1..9; 0 stores
    int m_smartFlags = DefaultSmartFlags;
    int m_replaceIndex = AppendIndex; // entry to overwrite; -2 looks the name up
    std::uint32_t m_bufferSize = 65536;
};
