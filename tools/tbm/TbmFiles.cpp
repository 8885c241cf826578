#include "TbmFiles.h"

#include "FolderTools.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>

bool CTbmFiles::IsFolder(const std::string& path)
{
    struct stat st
    {
    };
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CTbmFiles::IsFile(const std::string& path)
{
    struct stat st
    {
    };
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool CTbmFiles::EnsureFolder(const std::string& path)
{
    if (!IsFolder(path))
        tbm::CreateFolderPath(path);
    return IsFolder(path);
}

std::string CTbmFiles::Absolute(const std::string& path)
{
    if (path.empty() || path[0] == '/')
        return path;
    char folder[PATH_MAX];
    if (!getcwd(folder, sizeof folder))
        return path;
    std::string base = folder;
    if (base.back() != '/')
        base += '/';
    return path.substr(0, 2) == "./" ? base + path.substr(2) : base + path;
}
