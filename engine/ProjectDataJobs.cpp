#include "ProjectData.h"

#include "EngineClock.h"
#include "EngineFolders.h"
#include "PrivateFile.h"
#include "TextInserts.h"

#include "FileTools.h"
#include "FolderTools.h"
#include "Globals.h"
#include "ObjectStreamError.h"
#include "Prompt.h"
#include "ResourceLibrary.h"
#include "WholeFile.h"
#include "WriteLog.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace {

constexpr unsigned kTextNewJobName = 138;
constexpr unsigned kTextDescription = 115;
constexpr unsigned kTextNewJobEntry = 141;
// Used only when the text library is missing, so a job never gets an empty name
// (its folder would be the application data folder itself).
constexpr const char* kFallbackJobName = "My Backup";

bool Exists(const std::string& path)
{
    struct stat st
    {
    };
    return lstat(path.c_str(), &st) == 0;
}

bool IsFolder(const std::string& path)
{
    struct stat st
    {
    };
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A name that names a job folder and nothing else below the application data folder.
bool IsJobFolderName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

} // namespace

bool CProjectData::IsSavedJob(const std::string& name) const
{
    const std::vector<std::string> saved = GetSavedJobNames();
    return std::find(saved.begin(), saved.end(), name) != saved.end();
}

std::vector<std::string> CProjectData::GetSavedJobNames() const
{
    std::vector<std::string> names;
    const std::string folder = CEngineFolders::GetAppDataFolder();
    if (!folder.empty())
        tbm::ListFolder(folder, {}, false, names);
    return names;
}

void CProjectData::NewJob()
{
    ResetFields();
    const std::time_t now = CEngineClock::Now();
    m_dwTimeStamp = static_cast<std::uint32_t>(now);
    m_strCreationDate = CEngineClock::FormatDate(now);
    m_strCreationTime = CEngineClock::FormatTime(now);
    std::string base = LoadResString(kTextNewJobName);
    if (base.empty())
        base = kFallbackJobName;
    m_strJobName = g_Globals.MakeUniqueName(base, GetSavedJobNames());
    m_strBackupFileName = m_strJobName;
    m_strDescription =
        FillInserts(LoadResString(kTextDescription), {m_strCreationDate, m_strCreationTime});
    m_strDefaultOutputFolder = CEngineFolders::GetDefaultOutputFolder();
    if (!m_strDefaultOutputFolder.empty() && !IsFolder(m_strDefaultOutputFolder))
        tbm::CreateFolderPath(m_strDefaultOutputFolder);
    m_strWorkFolder.clear();
    RecomputeOutputPath();
}

int CProjectData::LoadJob(const std::string& name)
{
    if (name == m_strJobName)
        return 1;
    const std::vector<std::string> names = GetSavedJobNames();
    if (!name.empty() && std::find(names.begin(), names.end(), name) != names.end()) {
        std::vector<std::uint8_t> bytes;
        const std::string path = CEngineFolders::Join(
            CEngineFolders::Join(CEngineFolders::GetAppDataFolder(), name), kFileName);
        if (!TvReadWholeFile(path, bytes))
            return 0;
        try {
            FromBytes(bytes);
        } catch (const CObjectStreamError& e) {
            WriteLog("Fail to read %s: %s", path.c_str(), e.what());
            return 0;
        }
        // The folder is the job: a copied or renamed folder must not write back into
        // the folder of the job it was copied from.
        m_strJobName = name;
    } else {
        NewJob();
    }
    RecomputeOutputPath();
    return 1;
}

bool CProjectData::SaveJob()
{
    const std::string folder = GetJobFolder();
    if (!IsJobFolderName(m_strJobName) || !CPrivateFile::MakePrivateFolder(folder) ||
        !CPrivateFile::Write(CEngineFolders::Join(folder, kFileName), ToBytes())) {
        WriteLog("Fail to create or open current playlist file");
        return false;
    }
    return true;
}

bool CProjectData::DeleteJob(const std::string& name)
{
    const std::string appData = CEngineFolders::GetAppDataFolder();
    if (!IsJobFolderName(name) || appData.empty())
        return false;
    const std::string folder = CEngineFolders::Join(appData, name);
    struct stat st
    {
    };
    if (lstat(folder.c_str(), &st) != 0)
        return false;
    if (!S_ISDIR(st.st_mode))
        return unlink(folder.c_str()) == 0; // a link is removed, never followed
    return tbm::DeleteFolderTree(folder) && rmdir(folder.c_str()) == 0;
}

int CProjectData::ListJobs(std::vector<std::string>& entries) const
{
    entries.assign(1, LoadResString(kTextNewJobEntry));
    const std::vector<std::string> names = GetSavedJobNames();
    entries.insert(entries.end(), names.begin(), names.end());
    for (std::size_t i = 1; i < entries.size(); ++i) {
        if (entries[i] == m_strJobName)
            return static_cast<int>(i);
    }
    return 0;
}

int CProjectData::NewJobReplacing(const std::string& name)
{
    std::string checked = name;
    if (!CheckName(checked))
        return 0;
    NewJob();
    m_strJobName = checked;
    m_strBackupFileName = checked;
    RecomputeOutputPath();
    return 1;
}

int CProjectData::RenameJob(const std::string& newName)
{
    if (newName == m_strJobName)
        return 1;
    std::string name = newName;
    if (!CheckName(name))
        return 0;
    if (name == m_strJobName)
        return 1;
    const std::string oldFolder = GetJobFolder();
    const std::string newFolder = CEngineFolders::Join(CEngineFolders::GetAppDataFolder(), name);
    // Another job's folder is never taken over: saving would overwrite that job.
    if (Exists(newFolder)) {
        MessageBoxRes(265, MB_OK | MB_ICONERROR);
        return 0;
    }
    const bool hasFolder = IsFolder(oldFolder);
    if (hasFolder && !tbm::RenameFile(oldFolder, newFolder)) {
        WriteLog("Fail to rename job folder %s to %s", oldFolder.c_str(), newFolder.c_str());
        return 0;
    }
    m_strJobName = name;
    RecomputeOutputPath();
    if (hasFolder)
        SaveJob();
    return 1;
}
