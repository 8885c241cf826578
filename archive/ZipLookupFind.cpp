// Finding entries by name through the lookup array.
#include "ZipAttributes.h"
#include "ZipDirectory.h"

#include <algorithm>

int CZipDirectory::FindFile(std::string name, int caseMode, bool nameOnly)
{
    // System-form names use '\'; callers may hand either separator.
    std::replace(name.begin(), name.end(), '/', '\\');
    if (!m_lookup.Exists())
        m_lookup.Build(m_headers, ZipAttributes::PlatformNamesCaseSensitive);
    const bool sensitive = caseMode == 0 ? m_lookup.IsCaseSensitive() : caseMode == 1;
    if (nameOnly) {
        const std::string title = CZipLookup::TitleOf(name);
        for (const CZipLookup::Pair& pair : m_lookup.GetPairs())
            if (CZipLookup::Compare(CZipLookup::TitleOf(pair.header->m_fileName), title,
                                    sensitive) == 0)
                return static_cast<int>(pair.index);
        return -1;
    }
    if (caseMode == 0)
        return m_lookup.Find(name);
    for (std::size_t i = 0; i < m_headers.size(); ++i)
        if (CZipLookup::Compare(m_headers[i]->m_fileName, name, sensitive) == 0)
            return static_cast<int>(i);
    return -1;
}
