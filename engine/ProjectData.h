#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CObjectReader;
class CObjectWriter;

// The job: what to back up, where and how. One instance, the current job
// (g_ProjectData), lives for the whole run; saved jobs are folders below the
// application data folder holding "ProjectData.xdat" and the saved selections.
//
// Folder paths are native paths; the job folder is private to the user (0700) and
// "ProjectData.xdat" readable by the user only (0600), since it holds the password as
// typed. Operations that refuse bad input show the reason through the prompt.
class CProjectData
{
public:
    static constexpr const char* kFileName = "ProjectData.xdat";
    static constexpr const char* kDefaultExtension = ".tbm";

    CProjectData() = default;

    // Jobs (ProjectDataJobs.cpp).
    void NewJob();
    // A fresh job under `name` that replaces a saved job of that name when it is
    // saved: the command line's own job for runs that name only paths. 0 when the
    // name cannot be used.
    int NewJobReplacing(const std::string& name);
    int LoadJob(const std::string& name);
    // Writes the job into its folder, made when missing; false when nothing was written.
    bool SaveJob();
    bool DeleteJob(const std::string& name);
    // Text 141, then the saved jobs; returns the index of the current job's entry,
    // or 0 when it is not among them.
    int ListJobs(std::vector<std::string>& entries) const;
    // The names of the saved jobs: the sub-folders of the application data folder.
    std::vector<std::string> GetSavedJobNames() const;
    bool IsSavedJob(const std::string& name) const;
    int RenameJob(const std::string& newName);

    // Settings (ProjectData.cpp).
    int SetBackupFileName(const std::string& name);
    int SetDefaultOutputFolder(const std::string& path);
    int SetDescription(const std::string& text);
    void SetPassword(const std::string& password) { m_strPassword = password; }
    // How a job with a password encrypts its backup. "None" is no stored choice but
    // the state of a job without a password, so a job can never hold a password its
    // backups ignore.
    enum Encryption : std::uint32_t
    {
        kEncryptNone = 0,
        kEncryptAes256 = 1,
        kEncryptTraditional = 2
    };
    // AES-256 or traditional; false (nothing changed) for any other value.
    bool SetEncryption(std::uint32_t method);
    // The method this job's backups are written with: none without a password.
    std::uint32_t GetEncryption() const;
    // "AES-256" or "traditional ZIP encryption"; empty without a password.
    std::string GetEncryptionText() const;
    // Setting the backup to restore from clears the password: it belonged to another.
    void SetRestoreSourcePath(const std::string& path);
    void SetMedium(std::uint32_t medium);
    void SetRemovableFolder(const std::string& folder);
    void SetCdFolder(const std::string& folder);
    void RecomputeOutputPath();

    const std::string& GetJobName() const { return m_strJobName; }
    const std::string& GetDescription() const { return m_strDescription; }
    const std::string& GetBackupFileName() const { return m_strBackupFileName; }
    const std::string& GetOutputPath() const { return m_strOutputPath; }
    const std::string& GetCreationDate() const { return m_strCreationDate; }
    const std::string& GetCreationTime() const { return m_strCreationTime; }
    const std::string& GetPassword() const { return m_strPassword; }
    const std::string& GetDefaultOutputFolder() const { return m_strDefaultOutputFolder; }
    const std::string& GetRestoreSourcePath() const { return m_strRestoreSourcePath; }
    std::uint32_t GetMedium() const { return m_dwMedium; }
    std::uint32_t GetBackupType() const { return m_dwBackupType; }
    // Text 150, 151 or 152 for backup type 0, 1, 2; empty for any other.
    std::string GetBackupTypeText() const;
    std::string GetOutputFolderByMedium() const;

    // Folders (ProjectDataFolders.cpp).
    std::string GetJobFolder() const;
    std::string GetPathInJobFolder(const std::string& name) const;
    // The private work folder, made when needed (see WorkFolder.h).
    std::string GetWorkFolder();
    std::string GetPathInWorkFolder(const std::string& name);
    const std::string& GetWorkFolderPath() const { return m_strWorkFolder; }
    void SetWorkFolderPath(const std::string& path) { m_strWorkFolder = path; }
    // Empties the work folder, keeping the folder; only one below the temporary folder.
    bool ClearWorkFolder();
    // Free bytes for the user at the output folder by medium; 0 when unknown.
    std::uint64_t GetOutputFreeSpace() const;

    // The stored form of "ProjectData.xdat" (ProjectDataStream.cpp): the fields one
    // after another, no class tag. ReadFrom throws CObjectStreamError.
    void WriteTo(CObjectWriter& out) const;
    void ReadFrom(CObjectReader& in);
    std::vector<std::uint8_t> ToBytes() const;
    // Reads a job from the bytes of a "ProjectData.xdat"; throws CObjectStreamError.
    void FromBytes(const std::vector<std::uint8_t>& bytes);

    // Stored fields, in the order of the job's description.
    std::string m_strJobName;
    std::string m_strDescription;
    std::string m_strBackupFileName;
    std::string m_strExtension = kDefaultExtension;
    std::string m_strOutputPath;
    std::string m_strCreationDate;
    std::string m_strCreationTime;
    std::uint32_t m_dwTimeStamp = 0;
    std::string m_strDefaultOutputFolder;
    std::uint32_t m_dwOptionFlag = 1;
    std::uint32_t m_dwPasswordEnabled = 0;
    std::uint32_t m_dwLevel = 6;
    std::uint32_t m_dwMedium = 0; // 0 disk, 1 removable, 2 fixed-size parts, 3 CD
    std::string m_strPartSizeText = "100 Mb";
    std::uint32_t m_dwPartSize = 0;
    std::uint32_t m_dwCdVolumeSize = 0;
    std::string m_strCdSizeText = "600 Mb";
    std::string m_strPassword;
    std::uint32_t m_dwBackupType = 0; // 0 normal, 1 update, 2 synchronise
    std::uint32_t m_dwCdSpanning = 0;
    std::string m_strRemovableFolder;
    std::string m_strCdFolder;
    std::uint32_t m_dwRemovableIndex = 0;
    std::uint32_t m_dwCdIndex = 0;
    // My Files filter: mode 1 takes only the included extensions; mode 0 takes all
    // but, with the exclude flag, the excluded ones. Entries are "*." + extension.
    std::uint32_t m_dwFilterMode = 0;
    std::uint32_t m_dwExcludeFlag = 0;
    std::vector<std::string> m_ExcludeList;
    std::vector<std::string> m_IncludeList;
    std::string m_strTypedPassword;
    std::string m_strConfirmPassword;
    // Stored last: job files from before it end after the include list and read as
    // traditional, the only method their backups could have been written with.
    std::uint32_t m_dwEncryption = kEncryptAes256;
    // "Threads": how many compress a backup at once; 0 takes one per core. Stored
    // after the encryption; older job files read as 0. The backup is the same
    // byte for byte whatever the number.
    std::uint32_t m_dwThreads = 0;

private:
    void ResetFields();
    // Trims and checks a job or file name; shows text 187 or 159 and returns false
    // when it cannot be used.
    static bool CheckName(std::string& name);

    // Run-time only.
    std::string m_strWorkFolder;
    std::string m_strRestoreSourcePath;
};

extern CProjectData g_ProjectData;
