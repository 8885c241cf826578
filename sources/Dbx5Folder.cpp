#include "Dbx5Folder.h"

#include "Dbx5IndexedInfo.h"

#include <cstring>

void CDbx5Folder::Fill(const CDbx5IndexedInfo& info)
{
    for (unsigned index = 0; index < CDbx5IndexedInfo::kMaxIndex; ++index) {
        if (!info.Has(index))
            continue;
        const char* name = CDbx5IndexedInfo::GetFieldName(index);
        const auto integer = [&] { return static_cast<std::int32_t>(info.GetInteger(index)); };
        if (std::strcmp(name, "folder name (newsgroup name)") == 0)
            m_FolderName = info.GetString(index);
        else if (std::strcmp(name, "folder index") == 0)
            m_nFolderIndex = integer();
        else if (std::strcmp(name, "dbx file name") == 0)
            m_DbxFileName = info.GetString(index);
        else if (std::strcmp(name, "index of the parent folder") == 0)
            m_nParentIndex = integer();
        else if (std::strcmp(name, "messages in the folder") == 0)
            m_nMessageCount = integer();
    }
}

std::string CDbx5Folder::Describe() const
{
    if (m_FolderName && !m_FolderName->empty())
        return "\"" + *m_FolderName + "\"";
    if (m_DbxFileName && !m_DbxFileName->empty())
        return "\"" + *m_DbxFileName + "\"";
    return "#" + std::to_string(m_nFolderIndex);
}
