#pragma once

#include <cstdint>
#include <optional>
#include <string>

class CDbx5IndexedInfo;

// One mail folder of the folder index: its names, its place in the folder nesting and
// the ".dbx" file that holds its messages. Tree items of the mail folder tree point at
// these records through their tags.
class CDbx5Folder
{
public:
    // Takes the fields the program needs from the folder's info object; the others
    // are passed over.
    void Fill(const CDbx5IndexedInfo& info);

    // The folder as report lines name it: its name, else its dbx file name, else its
    // index.
    std::string Describe() const;

    std::optional<std::string> m_DbxFileName;
    std::int32_t m_nFolderIndex = -1;
    std::int32_t m_nParentIndex = -1;
    std::int32_t m_nMessageCount = -1;
    std::optional<std::string> m_FolderName;
    // Store folder + dbx file name; empty without a usable file name.
    std::string m_strFullPath;
    // 0 when the file cannot be found.
    std::uint64_t m_nFileSize = 0;
};
