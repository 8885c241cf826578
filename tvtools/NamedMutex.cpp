#include "NamedMutex.h"

#include "TempFileName.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

// $XDG_RUNTIME_DIR is private to the user. The temporary folder may be shared with
// other users, so the name there carries the user id: someone else's file of the
// same name cannot block our lock.
std::string LockFilePath(const std::string& name)
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime)
        return std::string(runtime) + "/" + name + ".lock";
    return TvGetTempPath() + "/" + name + "." + std::to_string(geteuid()) + ".lock";
}

// Never follows a link and only accepts a regular file of our own, so nobody else can
// hold our lock or make us lock a file of theirs.
int OpenLockFile(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return -1;
    struct stat st
    {
    };
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) {
        close(fd);
        return -1;
    }
    return fd;
}

} // namespace

CNamedMutex::CNamedMutex(const std::string& name) : m_name(name)
{
    Open();
}

void CNamedMutex::Open()
{
    m_pid = getpid();
    m_lockPath.clear();
    const std::string path = LockFilePath(m_name);
    m_fd = OpenLockFile(path);
    if (m_fd >= 0)
        m_lockPath = path;
}

// The lock file stays: removing it while another process waits on it would let the
// next process lock a new file of the same name while the waiter locks the old one.
CNamedMutex::~CNamedMutex()
{
    if (m_fd >= 0)
        close(m_fd);
}

bool CNamedMutex::Lock()
{
    m_local.lock();
    // A child made by fork shares the parent's open lock file and with it the lock, so
    // it would never wait for the parent: it opens a file of its own.
    if (m_pid != getpid()) {
        if (m_fd >= 0)
            close(m_fd);
        Open();
    }
    if (m_fd < 0)
        return false;
    int rc;
    do {
        rc = flock(m_fd, LOCK_EX);
    } while (rc != 0 && errno == EINTR);
    m_fileLocked = rc == 0;
    return m_fileLocked;
}

void CNamedMutex::Unlock()
{
    if (m_fileLocked) {
        flock(m_fd, LOCK_UN);
        m_fileLocked = false;
    }
    m_local.unlock();
}
