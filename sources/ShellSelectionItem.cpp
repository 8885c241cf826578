#include "ShellSelectionItem.h"

#include "ObjectReader.h"
#include "ObjectWriter.h"

void CShellSelectionItem::WriteTo(CObjectWriter& out) const
{
    out.WriteString(m_strPath);
    out.WriteU32(m_nCheckState);
    out.WriteU32(m_nAllSubFolders);
    out.WriteU32(m_nAllFiles);
    out.WriteCount(m_FileNames.size());
    for (const std::string& name : m_FileNames)
        out.WriteString(name);
}

void CShellSelectionItem::ReadFrom(CObjectReader& in)
{
    m_strPath = in.ReadString();
    m_nCheckState = in.ReadU32();
    m_nAllSubFolders = in.ReadU32();
    m_nAllFiles = in.ReadU32();
    // Every name takes at least its length byte, so a damaged count costs nothing.
    const std::uint32_t count = in.ReadCount(1);
    m_FileNames.clear();
    for (std::uint32_t i = 0; i < count; ++i)
        m_FileNames.push_back(in.ReadString());
}
