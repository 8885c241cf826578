#pragma once

#include "StreamObject.h"

#include <cstdint>
#include <string>

// One file entry: a file to put into the archive, or (restore) a stored entry to take
// out of it. Stream form: source path, entry name, directory flag (u32), size (u32),
// tree path, kind (u32). The archive index, target path and new name live only while
// a job runs.
class CAddInfo : public CStreamObject
{
public:
    static constexpr const char* kStreamClassName = "CAddInfo";

    CAddInfo() = default;
    // An entry for a file or folder on disk: directory flag and size from its status
    // (both 0 when it cannot be read), no entry name, no tree path.
    CAddInfo(const std::string& path, std::uint32_t kind);
    // The same from a status the caller has already read.
    CAddInfo(const std::string& path, std::uint32_t kind, bool directory, std::uint64_t size)
        : m_strSourcePath(path), m_dwDirectory(directory ? 1 : 0), m_dwSize(directory ? 0 : size),
          m_dwKind(kind)
    {
    }

    const char* GetStreamClassName() const override { return kStreamClassName; }
    void WriteTo(CObjectWriter& out) const override;
    void ReadFrom(CObjectReader& in) override;

    // Sizes are 32 bits in the catalogue; a larger file is stored as 4 GiB - 1
    // rather than as its size cut to the low bits. In memory the size is whole.
    static std::uint32_t CatalogueSize(std::uint64_t bytes);

    // Full path on disk; in a restore plan, the target folder.
    std::string m_strSourcePath;
    // Name in the archive; empty: the file name alone (the catalogue files).
    std::string m_strEntryName;
    // Tree node texts from the source's top node down to this item, joined by "\".
    std::string m_strTreePath;
    std::uint32_t m_dwDirectory = 0; // 1 for a folder
    std::uint64_t m_dwSize = 0;
    std::uint32_t m_dwKind = 0;
    // Run-time only.
    std::int32_t m_nArchiveIndex = -1;
    std::string m_strTargetPath;
    std::string m_strNewName; // empty: keep the stored name
    // The folder the user chose to restore into: below it the restore follows no
    // symbolic link, however the target path runs. Empty: none (the original place).
    std::string m_strTargetRoot;
};
