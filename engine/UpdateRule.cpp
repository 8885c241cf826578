#include "UpdateRule.h"

#include "ZipAttributes.h"
#include "ZipEntryHeader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <array>

namespace {

constexpr unsigned kPermissionBits = 07777;

// CRC-32 of a whole file; false when it cannot be read to the end.
bool FileCrc(const std::string& path, std::uint32_t& crc)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return false;
    uLong value = crc32(0L, Z_NULL, 0);
    std::array<unsigned char, 65536> buffer{};
    ssize_t got = 0;
    while ((got = read(fd, buffer.data(), buffer.size())) > 0)
        value = crc32(value, buffer.data(), static_cast<uInt>(got));
    close(fd);
    crc = static_cast<std::uint32_t>(value);
    return got == 0;
}

bool SameTime(std::time_t modified, const CZipEntryHeader& stored)
{
    std::time_t exact = 0;
    if (stored.GetExactTime(exact))
        return modified == exact;
    CZipEntryHeader probe;
    probe.SetDosTime(modified);
    return probe.m_modDate == stored.m_modDate && probe.m_modTime == stored.m_modTime;
}

// Modes are compared only where the entry was made on this kind of system.
bool SameMode(const struct stat& st, const CZipEntryHeader& stored)
{
    if (stored.GetSystem() != ZipAttributes::PlatformSystem)
        return true;
    return ((stored.m_externalAttr >> 16) & kPermissionBits) == (st.st_mode & kPermissionBits);
}

} // namespace

CUpdateRule::Verdict CUpdateRule::Check(const std::string& path, const CZipEntryHeader& stored) const
{
    struct stat st
    {
    };
    if (lstat(path.c_str(), &st) != 0)
        return kChanged; // adding it fails and keeps the stored entry
    const bool sameTime = SameTime(st.st_mtime, stored);
    const bool sameMode = SameMode(st, stored);
    if (stored.IsDirectory())
        return S_ISDIR(st.st_mode) && sameTime && sameMode ? kSame : kChanged;
    if (stored.IsSymbolicLink() != S_ISLNK(st.st_mode) || (!S_ISLNK(st.st_mode) && !S_ISREG(st.st_mode)))
        return kChanged;
    if (static_cast<std::uint64_t>(st.st_size) != stored.m_uncompressedSize)
        return kChanged;
    const bool racy = stored.GetTime() >= m_racyFrom;
    if (sameTime && sameMode && !racy)
        return kSame;
    // A link is written again: reading its target costs no more than checking it.
    if (S_ISLNK(st.st_mode))
        return kChanged;
    if (!SameCrc(path, stored))
        return kChanged;
    return sameTime && sameMode ? kSame : kSameNewMetadata;
}

bool CUpdateRule::SameCrc(const std::string& path, const CZipEntryHeader& stored) const
{
    std::uint32_t storedCrc = stored.m_crc;
    if (!stored.HasDataCrc() && (!m_storedCrc || !m_storedCrc(stored, storedCrc)))
        return false;
    std::uint32_t crc = 0;
    return FileCrc(path, crc) && crc == storedCrc;
}

bool CUpdateRule::SameContent(const std::string& path, const CZipEntryHeader& stored) const
{
    struct stat st
    {
    };
    if (stored.IsDirectory() || lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::uint64_t>(st.st_size) != stored.m_uncompressedSize)
        return false;
    return SameCrc(path, stored);
}
