#include "AddInfo.h"

#include "ObjectReader.h"
#include "ObjectWriter.h"

#include <sys/stat.h>

#include <limits>

CAddInfo::CAddInfo(const std::string& path, std::uint32_t kind)
    : m_strSourcePath(path), m_dwKind(kind)
{
    struct stat st
    {
    };
    if (!path.empty() && stat(path.c_str(), &st) == 0) {
        m_dwDirectory = S_ISDIR(st.st_mode) ? 1 : 0;
        m_dwSize = m_dwDirectory ? 0 : static_cast<std::uint64_t>(st.st_size);
    }
}

std::uint32_t CAddInfo::CatalogueSize(std::uint64_t bytes)
{
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(bytes < kMax ? bytes : kMax);
}

void CAddInfo::WriteTo(CObjectWriter& out) const
{
    out.WriteString(m_strSourcePath);
    out.WriteString(m_strEntryName);
    out.WriteU32(m_dwDirectory);
    out.WriteU32(CatalogueSize(m_dwSize));
    out.WriteString(m_strTreePath);
    out.WriteU32(m_dwKind);
}

void CAddInfo::ReadFrom(CObjectReader& in)
{
    m_strSourcePath = in.ReadString();
    m_strEntryName = in.ReadString();
    m_dwDirectory = in.ReadU32();
    m_dwSize = in.ReadU32();
    m_strTreePath = in.ReadString();
    m_dwKind = in.ReadU32();
}
