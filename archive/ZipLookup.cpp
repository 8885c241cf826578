#include "ZipLookup.h"

#include "ZipEntryHeader.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

// Byte order rather than the locale's collation: a collation may rank different
// names equal, and the binary search needs a strict order matching equality.
int CZipLookup::Compare(const std::string& a, const std::string& b, bool caseSensitive)
{
    return caseSensitive ? std::strcmp(a.c_str(), b.c_str()) : strcasecmp(a.c_str(), b.c_str());
}

std::string CZipLookup::TitleOf(const std::string& name)
{
    const auto slash = name.find_last_of("\\/");
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

void CZipLookup::Build(const Headers& headers, bool caseSensitive)
{
    m_pairs.clear();
    m_caseSensitive = caseSensitive;
    m_exists = true;
    m_pairs.reserve(headers.size());
    for (std::size_t i = 0; i < headers.size(); ++i)
        Insert(*headers[i], i);
}

void CZipLookup::Drop()
{
    m_exists = false;
    m_pairs.clear();
}

void CZipLookup::Rebuild(const Headers& headers)
{
    if (m_exists)
        Build(headers, m_caseSensitive);
}

void CZipLookup::Insert(const CZipEntryHeader& header, std::size_t index)
{
    if (!m_exists)
        return;
    const auto at =
        std::upper_bound(m_pairs.begin(), m_pairs.end(), header.m_fileName,
                         [this](const std::string& name, const Pair& pair) {
                             return Compare(name, pair.header->m_fileName, m_caseSensitive) < 0;
                         });
    m_pairs.insert(at, Pair{&header, index});
}

void CZipLookup::Erase(std::size_t index, bool shift)
{
    if (!m_exists)
        return;
    std::erase_if(m_pairs, [index](const Pair& pair) { return pair.index == index; });
    if (shift)
        for (Pair& pair : m_pairs)
            if (pair.index > index)
                --pair.index;
}

int CZipLookup::Find(const std::string& name) const
{
    const auto at = std::lower_bound(
        m_pairs.begin(), m_pairs.end(), name, [this](const Pair& pair, const std::string& wanted) {
            return Compare(pair.header->m_fileName, wanted, m_caseSensitive) < 0;
        });
    if (at == m_pairs.end() || Compare(at->header->m_fileName, name, m_caseSensitive) != 0)
        return -1;
    return static_cast<int>(at->index);
}
