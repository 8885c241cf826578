#include "ZipReplacingFile.h"

#include "ZipException.h"
#include "ZipExtractTarget.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>

namespace {

// Unpredictable enough that another user cannot guess the name ahead of us; the
// exclusive create is what makes it safe.
std::string NextTemporaryName()
{
    static std::atomic<unsigned> counter{0};
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    const unsigned long long mixed = static_cast<unsigned long long>(now) * 0x9E3779B97F4A7C15ull ^
                                     (static_cast<unsigned long long>(getpid()) << 20) ^
                                     counter.fetch_add(1);
    char name[40];
    std::snprintf(name, sizeof name, ".tbm%012llx.tmp", mixed & 0xFFFFFFFFFFFFull);
    return name;
}

constexpr int MaxAttempts = 100;

} // namespace

CZipReplacingFile::CZipReplacingFile(const CZipExtractTarget& target)
    : m_name(target.GetLeafName()), m_path(target.GetPath())
{
    m_folder = target.OpenParentFolder();
}

CZipReplacingFile::~CZipReplacingFile()
{
    Discard();
    if (m_folder >= 0)
        close(m_folder);
}

void CZipReplacingFile::RefuseFolderTarget() const
{
    struct stat st
    {
    };
    if (fstatat(m_folder, m_name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode))
        throw CZipException::FromErrno(EISDIR, m_path);
}

// Calls `make(name)` with fresh names until one is not taken yet.
template <typename Make> void CZipReplacingFile::MakeTemporary(Make make)
{
    RefuseFolderTarget();
    for (int attempt = 0; attempt < MaxAttempts; ++attempt) {
        std::string name = NextTemporaryName();
        if (make(name)) {
            m_temporary = std::move(name);
            return;
        }
        if (errno != EEXIST)
            break;
    }
    throw CZipException::FromErrno(errno, m_path);
}

int CZipReplacingFile::CreateFile()
{
    MakeTemporary([this](const std::string& name) {
        constexpr int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
        m_fd = openat(m_folder, name.c_str(), flags, 0600);
        return m_fd >= 0;
    });
    return m_fd;
}

void CZipReplacingFile::CreateLink(const std::string& linkTarget, std::time_t modified)
{
    MakeTemporary([this, &linkTarget](const std::string& name) {
        return symlinkat(linkTarget.c_str(), m_folder, name.c_str()) == 0;
    });
    struct timespec times[2] = {};
    times[0].tv_nsec = UTIME_NOW;
    times[1].tv_sec = modified;
    // Best effort: not every file system keeps a link's own time.
    utimensat(m_folder, m_temporary.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

void CZipReplacingFile::CloseFile()
{
    if (m_fd < 0)
        return;
    const int result = close(m_fd);
    m_fd = -1;
    if (result != 0)
        throw CZipException::FromErrno(errno, m_path);
}

void CZipReplacingFile::Commit()
{
    // When a file is replaced, its new bytes reach the disk before the rename does: a
    // crash in between must not swap a good file for an empty one. New files skip
    // the wait (nothing is lost if they are cut short).
    struct stat st
    {
    };
    if (m_fd >= 0 && fstatat(m_folder, m_name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
        fsync(m_fd) != 0)
        throw CZipException::FromErrno(errno, m_path);
    CloseFile();
    if (m_temporary.empty())
        return;
    // rename() itself refuses to put a file over a folder (EISDIR).
    if (renameat(m_folder, m_temporary.c_str(), m_folder, m_name.c_str()) != 0)
        throw CZipException::FromErrno(errno, m_path);
    m_temporary.clear();
}

void CZipReplacingFile::Discard()
{
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
    if (!m_temporary.empty()) {
        unlinkat(m_folder, m_temporary.c_str(), 0);
        m_temporary.clear();
    }
}
