#include "ZipProgressCallback.h"

void CZipProgressCallback::Init(const std::string& nameInArchive, const std::string& externalPath)
{
    m_nameInArchive = nameInArchive;
    m_externalPath = externalPath;
    m_total = 0;
    m_processed = 0;
}

void CZipProgressCallback::SetTotal(std::uint64_t total)
{
    m_total = total;
}

bool CZipProgressCallback::operator()(int bytes)
{
    // Counts are 32-bit like the archive's sizes; the sum wraps as they do.
    m_processed += static_cast<std::uint64_t>(bytes);
    return Callback(bytes);
}
