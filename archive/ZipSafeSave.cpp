#include "ZipSafeSave.h"

#include "ZipException.h"
#include "ZipPathParts.h"
#include "ZipPlatform.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <map>

namespace {

constexpr const char* kMarker = "~tbm";
constexpr std::size_t kIdLength = 8;
constexpr int kMaxVolumes = 999;

std::string Join(const std::string& folder, const std::string& name)
{
    return folder == "/" ? "/" + name : folder + "/" + name;
}

// "." + title + "~tbm": what every temporary name of this target starts with.
std::string TemporaryPrefix(const std::string& target)
{
    const CZipPathParts parts(target, CZipPathParts::NativeSyntax);
    return "." + parts.m_title + kMarker;
}

std::string WithExtension(const std::string& path, const std::string& extension)
{
    CZipPathParts parts(path, CZipPathParts::NativeSyntax);
    parts.m_extension = extension;
    return parts.GetFullPath();
}

std::string VolumeName(const std::string& path, int number)
{
    char extension[8];
    std::snprintf(extension, sizeof extension, "%.3d", number);
    return WithExtension(path, extension);
}

bool IsHexId(const std::string& text)
{
    if (text.size() != kIdLength)
        return false;
    for (const char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

std::string RandomId()
{
    unsigned char bytes[kIdLength / 2] = {};
    if (getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes))
        return {};
    char text[kIdLength + 1];
    std::snprintf(text, sizeof text, "%02x%02x%02x%02x", bytes[0], bytes[1], bytes[2], bytes[3]);
    return text;
}

void SyncFolder(const std::string& folder)
{
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        throw CZipException::FromErrno(errno, folder);
    const int result = fsync(fd);
    const int error = errno;
    close(fd);
    if (result != 0 && error != EINVAL)
        throw CZipException::FromErrno(error, folder);
}

// True when some live process holds the file open for writing (its lock).
bool IsHeld(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return false;
    const bool held = flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    close(fd);
    return held;
}

} // namespace

std::string CZipSafeSave::FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

CZipSafeSave::CZipSafeSave(std::string target) : m_target(std::move(target)) {}

CZipSafeSave::~CZipSafeSave()
{
    if (!m_temporary.empty())
        Discard();
}

bool CZipSafeSave::IsTemporaryName(const std::string& target, const std::string& fileName)
{
    const std::string prefix = TemporaryPrefix(target);
    if (fileName.compare(0, prefix.size(), prefix) != 0)
        return false;
    const std::string rest = fileName.substr(prefix.size());
    return rest.size() >= kIdLength && IsHexId(rest.substr(0, kIdLength)) &&
           (rest.size() == kIdLength || rest[kIdLength] == '.');
}

int CZipSafeSave::RemoveLeftovers() const
{
    const std::string folder = FolderOf(m_target);
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return 0;
    // The files of one run share its id; a run is live while any of them is held.
    std::map<std::string, std::vector<std::string>> runs;
    const std::size_t idStart = TemporaryPrefix(m_target).size();
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (IsTemporaryName(m_target, name))
            runs[name.substr(idStart, kIdLength)].push_back(Join(folder, name));
    }
    closedir(dir);
    int removed = 0;
    for (const auto& [id, files] : runs) {
        bool live = false;
        for (const std::string& file : files)
            live = live || IsHeld(file);
        if (live)
            continue;
        for (const std::string& file : files)
            removed += ZipPlatform::RemoveFile(file, false) ? 1 : 0;
    }
    return removed;
}

std::string CZipSafeSave::Begin()
{
    const CZipPathParts parts(m_target, CZipPathParts::NativeSyntax);
    const std::string folder = FolderOf(m_target);
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string id = RandomId();
        if (id.empty())
            return {};
        std::string name = TemporaryPrefix(m_target) + id;
        if (!parts.m_extension.empty())
            name += "." + parts.m_extension;
        const std::string path = Join(folder, name);
        const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return {};
        }
        close(fd);
        m_temporary = path;
        return path;
    }
    errno = EEXIST;
    return {};
}

std::vector<std::string> CZipSafeSave::TemporaryVolumes() const
{
    std::vector<std::string> volumes;
    while (static_cast<int>(volumes.size()) < kMaxVolumes) {
        const std::string volume = VolumeName(m_temporary, static_cast<int>(volumes.size()));
        if (ZipPlatform::FileExists(volume) != 1)
            break;
        volumes.push_back(volume);
    }
    return volumes;
}

void CZipSafeSave::Commit(bool volumeSet)
{
    if (m_temporary.empty())
        throw CZipException(CZipException::ErrInternal, m_target);
    const std::vector<std::string> volumes = TemporaryVolumes();
    // A set: the numbered volumes go first and the last one, which makes the set
    // readable, goes last; a fixed-size set always ends in ".tbm".
    for (std::size_t i = 0; i < volumes.size(); ++i)
        ZipPlatform::RenameFile(volumes[i], VolumeName(m_target, static_cast<int>(i)), true, true);
    std::string finalName = m_target;
    std::string written = m_temporary;
    if (volumeSet) {
        finalName = WithExtension(m_target, "tbm");
        written = WithExtension(m_temporary, "tbm");
    }
    ZipPlatform::RenameFile(written, finalName, true, true);
    if (written != m_temporary)
        ZipPlatform::RemoveFile(m_temporary, false);
    m_temporary.clear();
    SyncFolder(FolderOf(m_target));
    RemoveStaleVolumes(volumes.size());
}

// Volumes of an older set that had more of them than the new one would be read as
// parts of the new set by nobody, but they would mislead the user.
void CZipSafeSave::RemoveStaleVolumes(std::size_t firstStale) const
{
    for (int number = static_cast<int>(firstStale); number < kMaxVolumes; ++number)
        if (!ZipPlatform::RemoveFile(VolumeName(m_target, number), false))
            break;
}

void CZipSafeSave::Discard()
{
    if (m_temporary.empty())
        return;
    for (const std::string& volume : TemporaryVolumes())
        ZipPlatform::RemoveFile(volume, false);
    ZipPlatform::RemoveFile(WithExtension(m_temporary, "tbm"), false);
    ZipPlatform::RemoveFile(m_temporary, false);
    m_temporary.clear();
}
