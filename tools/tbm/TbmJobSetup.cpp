#include "TbmJobSetup.h"

#include "TbmFiles.h"
#include "TbmOptions.h"
#include "TbmUsageError.h"

#include "Globals.h"
#include "ProjectData.h"
#include "XdgFolders.h"

#include <sys/stat.h>

#include <stdexcept>

std::vector<std::string> CTbmJobSetup::CheckPaths(const std::vector<std::string>& paths)
{
    std::vector<std::string> absolute;
    for (const std::string& path : paths) {
        struct stat st
        {
        };
        if (lstat(path.c_str(), &st) != 0)
            throw CTbmUsageError("no such file or folder: '" + path + "'");
        std::string full = CTbmFiles::Absolute(path);
        while (full.size() > 1 && full.back() == '/')
            full.pop_back();
        absolute.push_back(full);
    }
    return absolute;
}

std::vector<std::string> CTbmJobSetup::Prepare(const CTbmOptions& options,
                                               const std::string& password)
{
    std::vector<std::string> selection = CheckPaths(options.m_Paths);
    // Named sources, like named paths, make the command line's own job.
    const bool defaultJob =
        options.m_strJob.empty() && selection.empty() && options.m_Sources.empty();
    ChooseJob(options, defaultJob);
    if (defaultJob) {
        const std::string documents = CXdgFolders::GetFolder(CSIDL_PERSONAL | CSIDL_FLAG_CREATE);
        if (documents.empty())
            throw std::runtime_error("the documents folder cannot be made");
        selection = {documents};
    }
    ApplyOptions(options, password);
    return selection;
}

void CTbmJobSetup::ChooseJob(const CTbmOptions& options, bool defaultJob)
{
    const std::string name = defaultJob ? kDefaultJobName : options.m_strJob;
    if (name.empty()) {
        if (!g_ProjectData.NewJobReplacing(kPathsJobName))
            throw std::runtime_error("the command line's job cannot be made");
        return;
    }
    if (g_ProjectData.IsSavedJob(name)) {
        if (!g_ProjectData.LoadJob(name))
            throw std::runtime_error("Fail to load project name");
        return;
    }
    if (!defaultJob && options.m_Paths.empty() && options.m_Sources.empty())
        throw CTbmUsageError("there is no saved job '" + name +
                             "': name the files and folders to back up");
    NameNewJob(name);
}

void CTbmJobSetup::NameNewJob(const std::string& name)
{
    g_ProjectData.NewJob();
    if (!g_ProjectData.RenameJob(name) || !g_ProjectData.SetBackupFileName(name))
        throw CTbmUsageError("'" + name + "' cannot be used as a job name");
}

void CTbmJobSetup::ApplyOutput(const std::string& output)
{
    const std::string path = CTbmFiles::Absolute(output);
    if (CTbmFiles::IsFolder(path))
        throw CTbmUsageError("--output names a folder; give the backup file's name");
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == 0 ? "/" : path.substr(0, slash);
    const std::string name = path.substr(slash + 1);
    if (name.empty())
        throw CTbmUsageError("--output needs a file name");
    // The chosen file is on a disk of our own choosing, not on a removable or CD drive.
    if (g_ProjectData.GetMedium() == 1 || g_ProjectData.GetMedium() == 3)
        g_ProjectData.SetMedium(0);
    g_ProjectData.SetDefaultOutputFolder(folder);
    if (!g_ProjectData.SetBackupFileName(name))
        throw CTbmUsageError("'" + name + "' cannot be used as a backup file name");
}

void CTbmJobSetup::ApplyOptions(const CTbmOptions& options, const std::string& password)
{
    if (options.m_qwVolumeSize != 0) {
        g_ProjectData.SetMedium(2);
        g_ProjectData.m_dwPartSize = static_cast<std::uint32_t>(options.m_qwVolumeSize);
        g_ProjectData.m_strPartSizeText = g_Globals.FormatSize(options.m_qwVolumeSize);
    }
    if (!options.m_strOutput.empty())
        ApplyOutput(options.m_strOutput);
    if (options.m_nThreads != CTbmOptions::kKeepThreads)
        g_ProjectData.m_dwThreads = static_cast<std::uint32_t>(options.m_nThreads);
    if (options.m_nType != CTbmOptions::kKeepType)
        g_ProjectData.m_dwBackupType = static_cast<std::uint32_t>(options.m_nType);
    if (!password.empty()) {
        // A job with a password keeps its method, which its backup was written with;
        // one without has no encrypted backup to match and takes the strong default.
        if (g_ProjectData.GetPassword().empty())
            g_ProjectData.SetEncryption(CProjectData::kEncryptAes256);
        g_ProjectData.SetPassword(password);
        g_ProjectData.m_dwPasswordEnabled = 1;
    }
    if (options.m_encryption == CTbmOptions::Encryption::Aes256)
        g_ProjectData.SetEncryption(CProjectData::kEncryptAes256);
    else if (options.m_encryption == CTbmOptions::Encryption::Traditional)
        g_ProjectData.SetEncryption(CProjectData::kEncryptTraditional);
    g_ProjectData.RecomputeOutputPath();
    const std::string folder = g_ProjectData.GetOutputFolderByMedium();
    if (!CTbmFiles::EnsureFolder(folder))
        throw std::runtime_error("the output folder '" + folder + "' cannot be made");
}
