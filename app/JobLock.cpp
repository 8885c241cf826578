#include "JobLock.h"

#include "FolderTools.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

bool CJobLock::Acquire(const std::string& jobFolder)
{
    Release();
    if (jobFolder.empty())
        return false;
    tbm::CreateFolderPath(jobFolder, 0700);
    const std::string path = jobFolder + "/" + kFileName;
    m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_fd < 0)
        return false;
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        Release();
        return false;
    }
    return true;
}

void CJobLock::Release()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}
