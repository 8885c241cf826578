#include "ShellFileOpTrash.h"

#include "ShellFileOpFs.h"
#include "ShellFileOpPath.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string_view>

namespace tvshell {
namespace {

// A trash folder must be a real folder of ours: a link planted there could send
// the user's files anywhere.
void MakePrivateFolder(const std::string& path)
{
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        Fail(errno, path);
    struct stat st
    {
    };
    if (lstat(path.c_str(), &st) != 0)
        Fail(errno, path);
    if (!S_ISDIR(st.st_mode) || st.st_uid != geteuid())
        Fail(EPERM, path);
}

std::string EscapePath(const std::string& path)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    for (const unsigned char c : path) {
        if (std::isalnum(c) ||
            std::string_view("/-._~").find(static_cast<char>(c)) != std::string_view::npos) {
            escaped += static_cast<char>(c);
        } else {
            escaped += '%';
            escaped += kHex[c >> 4];
            escaped += kHex[c & 15];
        }
    }
    return escaped;
}

std::string AbsolutePath(const std::string& path)
{
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(path, ec);
    if (ec)
        Fail(ec.value(), path);
    return TrimTrailingSeparators(absolute.lexically_normal().string());
}

// Writes Trash/info/NAME.trashinfo for the first free NAME and returns NAME. The
// info file is created exclusively, which reserves the name against other trashers.
std::string ReserveName(const std::string& trash, const std::string& absolutePath)
{
    const std::string base = BaseName(absolutePath);
    for (unsigned n = 1;; ++n) {
        const std::string name = n == 1 ? base : base + "." + std::to_string(n);
        const std::string info = JoinPath(trash, "info/" + name + ".trashinfo");
        const int fd = open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            Fail(errno, info);
        const std::string text = TrashInfoText(absolutePath, std::time(nullptr));
        const bool written =
            write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        const int error = errno;
        close(fd);
        if (!written || Exists(JoinPath(trash, "files/" + name))) {
            unlink(info.c_str());
            if (!written)
                Fail(error ? error : EIO, info);
            continue;
        }
        return name;
    }
}

// Returns 0 or the errno of the failed rename; other failures throw.
int TrashInto(const std::string& trash, const std::string& absolutePath,
              const ShellRenameFunction& rename)
{
    MakePrivateFolder(trash);
    MakePrivateFolder(JoinPath(trash, "files"));
    MakePrivateFolder(JoinPath(trash, "info"));
    const std::string name = ReserveName(trash, absolutePath);
    const int error = rename(absolutePath, JoinPath(trash, "files/" + name), false);
    if (error != 0)
        unlink(JoinPath(trash, "info/" + name + ".trashinfo").c_str());
    return error;
}

// The mount point of the device that holds `path`: the last folder upwards that is
// still on the same device as the item.
std::string TopFolder(const std::string& absolutePath)
{
    struct stat st
    {
    };
    if (lstat(absolutePath.c_str(), &st) != 0)
        Fail(errno, absolutePath);
    std::string top = absolutePath;
    while (top != "/") {
        const std::string parent = ParentFolder(top);
        struct stat up
        {
        };
        if (stat(parent.c_str(), &up) != 0)
            Fail(errno, parent);
        if (up.st_dev != st.st_dev)
            break;
        top = parent;
    }
    // A mount point itself cannot move into a folder below it.
    if (top == absolutePath)
        Fail(EXDEV, absolutePath);
    return top;
}

} // namespace

std::string HomeTrashFolder()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/')
        return JoinPath(data, "Trash");
    const char* home = std::getenv("HOME");
    return JoinPath(home ? home : "", ".local/share/Trash");
}

std::string TrashInfoText(const std::string& absolutePath, long long when)
{
    const std::time_t time = static_cast<std::time_t>(when);
    std::tm local{};
    localtime_r(&time, &local);
    char date[32] = "";
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    return "[Trash Info]\nPath=" + EscapePath(absolutePath) + "\nDeletionDate=" + date + "\n";
}

void MoveToTrash(const std::string& path, const ShellRenameFunction& rename)
{
    const std::string absolutePath = AbsolutePath(path);
    if (!Exists(absolutePath))
        Fail(ENOENT, path);
    const std::string home = HomeTrashFolder();
    MakeFolders(ParentFolder(home));
    int error = TrashInto(home, absolutePath, rename);
    if (error == EXDEV) {
        const std::string top = TopFolder(absolutePath);
        const std::string trash = JoinPath(top, ".Trash-" + std::to_string(geteuid()));
        error = TrashInto(trash, absolutePath, rename);
    }
    if (error != 0)
        Fail(error, path);
}

} // namespace tvshell
