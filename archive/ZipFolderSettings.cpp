#include "ZipFolderSettings.h"

#include "ZipPlatform.h"

#include <unistd.h>

#include <algorithm>

void CZipFolderSettings::Add(const CZipExtractTarget& target, std::uint32_t attributes,
                             std::time_t modified)
{
    m_pending.push_back({target, attributes, modified});
}

std::vector<std::string> CZipFolderSettings::Apply()
{
    std::vector<Pending> pending;
    pending.swap(m_pending);
    // Stable: of two entries for one folder, the later one has the last word.
    std::stable_sort(pending.begin(), pending.end(), [](const Pending& a, const Pending& b) {
        return a.target.GetDepth() > b.target.GetDepth();
    });
    std::vector<std::string> failed;
    for (const Pending& one : pending)
        if (!ApplyOne(one))
            failed.push_back(one.target.GetPath());
    return failed;
}

bool CZipFolderSettings::ApplyOne(const Pending& pending)
{
    const int fd = pending.target.OpenExistingFolder();
    if (fd < 0)
        return false;
    // The owner may set both whatever the new mode denies, so a read-only mode first
    // still lets the time through.
    const bool set = ZipPlatform::SetDescriptorAttributes(fd, pending.attributes) &&
                     ZipPlatform::SetDescriptorModTime(fd, pending.modified);
    close(fd);
    return set;
}
