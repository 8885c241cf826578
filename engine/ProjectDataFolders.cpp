#include "ProjectData.h"

#include "EngineFolders.h"
#include "OutputFreeSpace.h"
#include "WorkFolder.h"

#include "Preferences.h"

// Empty when there is no application data folder or no job name, so that no caller
// ends up with a relative path.
std::string CProjectData::GetJobFolder() const
{
    const std::string appData = CEngineFolders::GetAppDataFolder();
    if (appData.empty() || m_strJobName.empty())
        return {};
    return CEngineFolders::Join(appData, m_strJobName);
}

std::string CProjectData::GetPathInJobFolder(const std::string& name) const
{
    const std::string folder = GetJobFolder();
    return folder.empty() ? std::string() : CEngineFolders::Join(folder, name);
}

std::string CProjectData::GetWorkFolder()
{
    if (CWorkFolder::Accept(m_strWorkFolder))
        return m_strWorkFolder;
    if (CWorkFolder::Accept(g_Preferences.m_strTempLevel))
        return g_Preferences.m_strTempLevel;
    const std::string folder = CWorkFolder::MakeDefault();
    if (!folder.empty()) {
        m_strWorkFolder = folder;
        g_Preferences.m_strTempLevel = folder;
    }
    return folder;
}

std::string CProjectData::GetPathInWorkFolder(const std::string& name)
{
    const std::string folder = GetWorkFolder();
    // No work folder: no path, rather than a name in the current folder or "/".
    return folder.empty() ? std::string() : CEngineFolders::Join(folder, name);
}

bool CProjectData::ClearWorkFolder()
{
    return CWorkFolder::Clear(GetWorkFolder());
}

std::uint64_t CProjectData::GetOutputFreeSpace() const
{
    return GetFolderFreeSpace(GetOutputFolderByMedium());
}
