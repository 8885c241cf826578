#pragma once

#include "StreamObject.h"

#include <cstdint>
#include <string>
#include <utility>

// One catalogue item: a data source (or one Outlook Express identity) that is part of
// a backup. Stream form: catalogue file, display name, kind (u32).
class CBackupTreeItem : public CStreamObject
{
public:
    static constexpr const char* kStreamClassName = "CBackupTreeItem";

    CBackupTreeItem() = default;
    CBackupTreeItem(std::string catalogueFile, std::string displayName, std::uint32_t kind)
        : m_strCatalogueFile(std::move(catalogueFile)), m_strDisplayName(std::move(displayName)),
          m_dwKind(kind)
    {
    }

    const char* GetStreamClassName() const override { return kStreamClassName; }
    void WriteTo(CObjectWriter& out) const override;
    void ReadFrom(CObjectReader& in) override;

    // File name of the source's catalogue at the archive root.
    std::string m_strCatalogueFile;
    // Text in the restore tree: the identity's name for kind 2, else empty.
    std::string m_strDisplayName;
    std::uint32_t m_dwKind = 0;
};
