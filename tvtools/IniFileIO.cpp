#include "IniFile.h"

#include "FdIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string_view>

// Reading and writing of CIniFile. Lines of any length are read whole: a long value
// must come back as it was written, never cut or split into two entries.

namespace {

const char* const kCannotOpen = "Unable to open ini file.";

// Reads a whole regular file. Anything else (a folder, a device, a pipe) is no INI
// file and would either fail half way or block.
bool ReadWholeFile(const std::string& path, std::string& text)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st
    {
    };
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    char chunk[65536];
    while (ok) {
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        text.append(chunk, static_cast<std::size_t>(n));
    }
    close(fd);
    return ok;
}

// A link is followed, so the file it points at is replaced and the link stays.
std::string ResolveTarget(const std::string& path)
{
    struct stat st
    {
    };
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

// A new file in the target's folder, created exclusively with the mode a plain new
// file would get (0666 less the umask). A short name of its own, so even a target with
// the longest possible name gets one.
int CreateSibling(const std::string& target, std::string& siblingPath)
{
    static std::atomic<unsigned> counter{0};
    const std::size_t slash = target.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[48];
        std::snprintf(name, sizeof name, ".INI%X-%X.tmp", static_cast<unsigned>(getpid()),
                      counter++);
        siblingPath = folder + name;
        const int fd =
            open(siblingPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Writes `bytes` to a new file beside `target`, flushes it to disk and renames it over
// the target: the target is either the old file or the complete new one.
bool ReplaceFile(const std::string& target, const std::string& bytes)
{
    std::string temp;
    const int fd = CreateSibling(target, temp);
    if (fd < 0)
        return false;
    struct stat old
    {
    };
    bool ok = true;
    if (stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        ok = fchmod(fd, old.st_mode & 07777) == 0;
    ok = ok && TvWriteAll(fd, bytes.data(), bytes.size()) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(temp.c_str(), target.c_str()) == 0;
    if (!ok)
        unlink(temp.c_str());
    return ok;
}

std::string_view SectionName(std::string_view line)
{
    while (!line.empty() && line.front() == '[')
        line.remove_prefix(1);
    while (!line.empty() && line.back() == ']')
        line.remove_suffix(1);
    return line;
}

} // namespace

bool CIniFile::ReadFile()
{
    struct stat st
    {
    };
    if (stat(m_path.c_str(), &st) != 0)
        return false;
    std::string text;
    if (!ReadWholeFile(m_path, text)) {
        error = kCannotOpen;
        return false;
    }
    ParseText(text);
    return true;
}

void CIniFile::ParseText(const std::string& text)
{
    std::string_view rest(text);
    // Editors on Windows like to start UTF-8 files with a byte-order mark; it would
    // hide the first section line.
    if (rest.substr(0, 3) == "\xEF\xBB\xBF")
        rest.remove_prefix(3);
    std::string key;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty())
            continue;
        if (line.front() == '[' && line.back() == ']') {
            key = SectionName(line);
            continue;
        }
        const std::size_t equals = line.find('=');
        // Lines without "=" (comments and the like) carry nothing to keep.
        if (equals != std::string_view::npos)
            SetValue(key, std::string(line.substr(0, equals)), std::string(line.substr(equals + 1)),
                     true);
    }
}

bool CIniFile::WriteFile()
{
    if (m_path.empty())
        return false;
    return ReplaceFile(ResolveTarget(m_path), Serialise());
}

std::string CIniFile::Serialise() const
{
    std::string out;
    for (std::size_t k = 0; k < m_keys.size(); ++k) {
        const Key& key = m_keys[k];
        if (key.names.empty())
            continue;
        out += "[" + m_keyNames[k] + "]\r\n";
        for (std::size_t v = 0; v < key.names.size(); ++v)
            out += key.names[v] + "=" + key.values[v] + "\r\n";
        out += "\r\n";
    }
    return out;
}
