#include "WorkFolder.h"

#include "EngineFolders.h"
#include "FolderTools.h"
#include "TempFileName.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

namespace {

std::string RealPath(const std::string& path)
{
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

// Strictly below the temporary folder, after resolving links and "..".
bool IsBelowTempFolder(const std::string& folder)
{
    const std::string temp = RealPath(TvGetTempPath());
    const std::string real = RealPath(folder);
    if (temp.empty() || real.empty())
        return false;
    const std::string prefix = temp == "/" ? temp : temp + "/";
    return real.size() > prefix.size() && real.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

bool CWorkFolder::Accept(const std::string& folder)
{
    struct stat st
    {
    };
    if (folder.empty() || lstat(folder.c_str(), &st) != 0)
        return false;
    if (!S_ISDIR(st.st_mode) || st.st_uid != geteuid())
        return false;
    return (st.st_mode & 077) == 0 || chmod(folder.c_str(), 0700) == 0;
}

std::string CWorkFolder::MakeDefault()
{
    const std::string temp = TvGetTempPath();
    const std::string folder = CEngineFolders::Join(temp, kDefaultName);
    // mkdir either makes it ours or finds something there, which Accept then judges.
    mkdir(folder.c_str(), 0700);
    if (Accept(folder))
        return folder;
    return tbm::CreateTempFolder(temp);
}

bool CWorkFolder::Clear(const std::string& folder)
{
    if (!IsBelowTempFolder(folder) || !Accept(folder))
        return false;
    return tbm::DeleteFolderTree(folder);
}
