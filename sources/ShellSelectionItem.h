#pragma once

#include "StreamObject.h"

#include <cstdint>
#include <string>
#include <vector>

// One selected folder of a selection file (".tbs", "Shell.xsel"). Stream form: path,
// check state (u32), all subfolders (u32), all files (u32), then the names of the
// checked files as a counted list of strings (empty when all files is 1).
class CShellSelectionItem : public CStreamObject
{
public:
    static constexpr const char* kStreamClassName = "CShellSelectionItem";

    const char* GetStreamClassName() const override { return kStreamClassName; }
    void WriteTo(CObjectWriter& out) const override;
    void ReadFrom(CObjectReader& in) override;

    std::string m_strPath;
    std::uint32_t m_nCheckState = 0;
    std::uint32_t m_nAllSubFolders = 0;
    std::uint32_t m_nAllFiles = 0;
    std::vector<std::string> m_FileNames;
};
