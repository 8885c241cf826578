#include "ZipExtractTarget.h"

#include "ZipException.h"
#include "ZipPlatform.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>

namespace {

bool IsDrive(const std::string& part)
{
    return part.size() >= 2 && std::isalpha(static_cast<unsigned char>(part[0])) && part[1] == ':';
}

std::vector<std::string> SafeParts(const std::string& name)
{
    std::vector<std::string> parts;
    std::string part;
    auto take = [&parts](std::string piece) {
        if (parts.empty() && IsDrive(piece))
            piece.erase(0, 2);
        if (!piece.empty() && piece != "." && piece != "..")
            parts.push_back(std::move(piece));
    };
    for (char c : name) {
        if (c == '/' || c == '\\') {
            take(std::move(part));
            part.clear();
        } else {
            part += c;
        }
    }
    take(std::move(part));
    return parts;
}

[[noreturn]] void ThrowErrno(const std::string& path)
{
    throw CZipException::FromErrno(errno, path);
}

} // namespace

CZipExtractTarget::CZipExtractTarget(const std::string& entryName, const std::string& folder,
                                     bool fullPath, const std::string& newName)
    : m_folder(folder)
{
    m_parts = SafeParts(newName.empty() ? entryName : newName);
    if (!fullPath && m_parts.size() > 1)
        m_parts.erase(m_parts.begin(), m_parts.end() - 1);
    if (m_parts.empty()) {
        m_path = folder;
        return;
    }
    while (m_folder.size() > 1 && m_folder.back() == '/')
        m_folder.pop_back();
    m_path = m_folder;
    if (!m_path.empty() && m_path.back() != '/')
        m_path += '/';
    for (std::size_t i = 0; i < m_parts.size(); ++i)
        m_path += (i > 0 ? "/" : "") + m_parts[i];
}

int CZipExtractTarget::OpenBase() const
{
    const std::string base = m_folder.empty() ? "." : m_folder;
    int fd = open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT && !m_folder.empty()) {
        if (!ZipPlatform::ForceDirectory(base))
            ThrowErrno(base);
        fd = open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    if (fd < 0)
        ThrowErrno(base);
    return fd;
}

int CZipExtractTarget::OpenFolder(std::size_t depth, unsigned lastMode) const
{
    int fd = OpenBase();
    for (std::size_t i = 0; i < depth; ++i) {
        const char* part = m_parts[i].c_str();
        const mode_t mode = static_cast<mode_t>(i + 1 == depth ? lastMode : 0777);
        constexpr int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
        // Most folders exist already (the files of one folder come together): open
        // first, and make the folder only when it is missing.
        int next = openat(fd, part, flags);
        if (next < 0 && errno == ENOENT) {
            if (mkdirat(fd, part, mode) != 0 && errno != EEXIST) {
                const int error = errno;
                close(fd);
                throw CZipException::FromErrno(error, m_path);
            }
            next = openat(fd, part, flags);
        }
        const int error = errno;
        close(fd);
        if (next < 0)
            throw CZipException::FromErrno(error, m_path);
        fd = next;
    }
    return fd;
}

void CZipExtractTarget::MakeFolders(unsigned lastMode) const
{
    close(OpenFolder(m_parts.size(), lastMode));
}

int CZipExtractTarget::OpenExistingFolder() const
{
    int fd = open(m_folder.empty() ? "." : m_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (std::size_t i = 0; fd >= 0 && i < m_parts.size(); ++i) {
        const int next =
            openat(fd, m_parts[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        const int error = errno;
        close(fd);
        errno = error;
        fd = next;
    }
    return fd;
}

std::size_t CZipExtractTarget::GetDepth() const
{
    std::size_t depth = 0;
    for (std::size_t i = 0; i < m_path.size(); ++i)
        if (m_path[i] != '/' && (i == 0 || m_path[i - 1] == '/'))
            ++depth;
    return depth;
}

int CZipExtractTarget::OpenParentFolder() const
{
    if (m_parts.empty())
        throw CZipException::FromErrno(EISDIR, m_path);
    return OpenFolder(m_parts.size() - 1);
}
