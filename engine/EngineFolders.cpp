#include "EngineFolders.h"

#include "FolderTools.h"
#include "XdgFolders.h"

#include <sys/stat.h>

std::string CEngineFolders::GetAppDataFolder()
{
    const std::string base = CXdgFolders::GetFolder(CSIDL_APPDATA | CSIDL_FLAG_CREATE);
    if (base.empty())
        return {};
    const std::string folder = Join(base, "Tovan-Soft/Tovan Backup Manager");
    struct stat st
    {
    };
    if (stat(folder.c_str(), &st) != 0)
        tbm::CreateFolderPath(folder, 0700);
    return folder;
}

std::string CEngineFolders::GetDefaultOutputFolder()
{
    const std::string documents = CXdgFolders::GetFolder(CSIDL_PERSONAL);
    return documents.empty() ? std::string() : Join(documents, "My Backups");
}

std::string CEngineFolders::Join(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}
