#include "BackupTreeItem.h"

#include "ObjectReader.h"
#include "ObjectWriter.h"

void CBackupTreeItem::WriteTo(CObjectWriter& out) const
{
    out.WriteString(m_strCatalogueFile);
    out.WriteString(m_strDisplayName);
    out.WriteU32(m_dwKind);
}

void CBackupTreeItem::ReadFrom(CObjectReader& in)
{
    m_strCatalogueFile = in.ReadString();
    m_strDisplayName = in.ReadString();
    m_dwKind = in.ReadU32();
}
