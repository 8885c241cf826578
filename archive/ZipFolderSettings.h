#pragma once

#include "ZipExtractTarget.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

// The modes and times of extracted folders, kept until their contents are in place:
// a read-only folder must still take its files, and every file written into a folder
// moves the folder's time. Apply sets them deepest folder first (a folder closed to
// its owner's writing or searching comes after everything below it), each through a
// descriptor opened without following links, so a link that took a folder's place
// meanwhile is refused rather than followed.
class CZipFolderSettings
{
public:
    void Add(const CZipExtractTarget& target, std::uint32_t attributes, std::time_t modified);
    bool IsEmpty() const { return m_pending.empty(); }

    // Applies and forgets every pending setting; returns the folders that could not
    // be opened or changed.
    std::vector<std::string> Apply();

private:
    struct Pending
    {
        CZipExtractTarget target;
        std::uint32_t attributes;
        std::time_t modified;
    };

    static bool ApplyOne(const Pending& pending);

    std::vector<Pending> m_pending;
};
