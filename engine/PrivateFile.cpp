#include "PrivateFile.h"

#include "FdIo.h"
#include "FolderTools.h"
#include "TempFileName.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAndClose(int fd, const std::vector<std::uint8_t>& bytes)
{
    bool ok = fchmod(fd, 0600) == 0 && TvWriteAll(fd, bytes.data(), bytes.size()) && fsync(fd) == 0;
    const int error = errno;
    ok = close(fd) == 0 && ok;
    if (!ok && error)
        errno = error;
    return ok;
}

} // namespace

bool CPrivateFile::Write(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    // The temporary name is created exclusively with mode 0600.
    const std::string temp = TvCreateTempFileName(FolderOf(path), "tbm");
    if (temp.empty())
        return false;
    const int fd = open(temp.c_str(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC);
    bool ok = fd >= 0 && WriteAndClose(fd, bytes);
    ok = ok && rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        const int error = errno;
        unlink(temp.c_str());
        errno = error;
    }
    return ok;
}

bool CPrivateFile::MakePrivateFolder(const std::string& folder)
{
    tbm::CreateFolderPath(folder, 0700);
    struct stat st
    {
    };
    if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid())
        return false;
    return (st.st_mode & 077) == 0 || chmod(folder.c_str(), 0700) == 0;
}
