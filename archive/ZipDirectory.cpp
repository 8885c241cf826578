#include "ZipDirectory.h"

#include <strings.h>

void CZipDirectory::Clear()
{
    m_lookup.Drop();
    m_headers.clear();
    m_thisVolume = m_directoryVolume = 0;
    m_recordsHere = m_records = 0;
    m_directorySize = m_directoryOffset = 0;
    m_comment.clear();
    m_endRecordPosition = 0;
    m_bytesBeforeZip = 0;
    m_onDisk = false;
}

CZipEntryHeader& CZipDirectory::Append(std::unique_ptr<CZipEntryHeader> header)
{
    m_headers.push_back(std::move(header));
    m_lookup.Insert(*m_headers.back(), m_headers.size() - 1);
    return *m_headers.back();
}

CZipEntryHeader& CZipDirectory::Replace(std::size_t index, std::unique_ptr<CZipEntryHeader> header)
{
    m_headers.at(index) = std::move(header);
    m_lookup.Erase(index, false);
    m_lookup.Insert(*m_headers[index], index);
    return *m_headers[index];
}

void CZipDirectory::Remove(std::size_t index)
{
    m_lookup.Erase(index, true);
    m_headers.erase(m_headers.begin() + static_cast<std::ptrdiff_t>(index));
}

void CZipDirectory::RemoveIf(const std::vector<bool>& remove)
{
    std::vector<std::unique_ptr<CZipEntryHeader>> kept;
    kept.reserve(m_headers.size());
    for (std::size_t i = 0; i < m_headers.size(); ++i)
        if (i >= remove.size() || !remove[i])
            kept.push_back(std::move(m_headers[i]));
    m_headers = std::move(kept);
    m_lookup.Rebuild(m_headers);
}

int CZipDirectory::FindName(const std::string& name, bool caseSensitive) const
{
    for (std::size_t i = 0; i < m_headers.size(); ++i) {
        const std::string& candidate = m_headers[i]->m_fileName;
        const bool same =
            caseSensitive ? candidate == name : strcasecmp(candidate.c_str(), name.c_str()) == 0;
        if (same)
            return static_cast<int>(i);
    }
    return -1;
}

std::uint64_t CZipDirectory::GetWrittenSize() const
{
    std::uint64_t size = EndRecordSize + m_comment.size();
    for (const auto& header : m_headers)
        size += header->GetCentralRecordSize();
    if (NeedsZip64End(0, size))
        size += Zip64EndRecordSize + Zip64LocatorSize;
    return size;
}

bool CZipDirectory::NeedsZip64End(std::uint64_t offset, std::uint64_t size) const
{
    return m_headers.size() >= 0xFFFF || offset >= CZipEntryHeader::Escape32 ||
           size >= CZipEntryHeader::Escape32 || offset + size >= CZipEntryHeader::Escape32;
}
