#include "ProjectData.h"

#include "EngineFolders.h"

#include "Globals.h"
#include "Prompt.h"
#include "ResourceLibrary.h"
#include "UniqueNames.h"

#include <cctype>

CProjectData g_ProjectData;

namespace {

constexpr unsigned kTextEnterName = 187;
constexpr unsigned kTextBadName = 159;
constexpr unsigned kTextFirstBackupType = 150;

std::string Trim(const std::string& text)
{
    const auto isSpace = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isSpace(text[begin]))
        ++begin;
    while (end > begin && isSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

bool HasControlCharacter(const std::string& name)
{
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return true;
    }
    return false;
}

} // namespace

// The run-time members outlive a reset; the new job clears what it must itself.
void CProjectData::ResetFields()
{
    std::string workFolder = std::move(m_strWorkFolder);
    std::string restoreSource = std::move(m_strRestoreSourcePath);
    *this = CProjectData();
    m_strWorkFolder = std::move(workFolder);
    m_strRestoreSourcePath = std::move(restoreSource);
}

// Job and file names become folder and file names: besides the characters Windows
// refuses, "." and ".." (which name folders that exist already) and control
// characters (which no catalogue line can hold) are refused.
bool CProjectData::CheckName(std::string& name)
{
    name = Trim(name);
    if (name.empty()) {
        MessageBoxRes(kTextEnterName, MB_OK | MB_ICONERROR);
        return false;
    }
    if (!tbm::IsValidFileName(name) || name == "." || name == ".." || HasControlCharacter(name)) {
        MessageBoxRes(kTextBadName, MB_OK | MB_ICONERROR);
        return false;
    }
    return true;
}

int CProjectData::SetBackupFileName(const std::string& name)
{
    std::string checked = name;
    if (!CheckName(checked))
        return 0;
    m_strBackupFileName = checked;
    RecomputeOutputPath();
    return 1;
}

int CProjectData::SetDefaultOutputFolder(const std::string& path)
{
    if (path.empty() || path == m_strDefaultOutputFolder)
        return 1;
    m_strDefaultOutputFolder = path;
    RecomputeOutputPath();
    return 1;
}

int CProjectData::SetDescription(const std::string& text)
{
    m_strDescription = text;
    return 1;
}

void CProjectData::SetRestoreSourcePath(const std::string& path)
{
    m_strRestoreSourcePath = path;
    m_strPassword.clear();
}

void CProjectData::SetMedium(std::uint32_t medium)
{
    m_dwMedium = medium;
    RecomputeOutputPath();
}

void CProjectData::SetRemovableFolder(const std::string& folder)
{
    m_strRemovableFolder = folder;
    RecomputeOutputPath();
}

void CProjectData::SetCdFolder(const std::string& folder)
{
    m_strCdFolder = folder;
    RecomputeOutputPath();
}

std::string CProjectData::GetOutputFolderByMedium() const
{
    const std::string* folder = &m_strDefaultOutputFolder;
    if (m_dwMedium == 1)
        folder = &m_strRemovableFolder;
    else if (m_dwMedium == 3)
        folder = &m_strCdFolder;
    return folder->empty() ? m_strDefaultOutputFolder : *folder;
}

void CProjectData::RecomputeOutputPath()
{
    if (m_strBackupFileName.empty())
        m_strBackupFileName = m_strJobName;
    if (!m_strBackupFileName.empty() &&
        tbm::ExtensionOffset(m_strBackupFileName) == std::string::npos)
        m_strBackupFileName += m_strExtension;
    m_strOutputPath = CEngineFolders::Join(GetOutputFolderByMedium(), m_strBackupFileName);
}

bool CProjectData::SetEncryption(std::uint32_t method)
{
    if (method != kEncryptAes256 && method != kEncryptTraditional)
        return false;
    m_dwEncryption = method;
    return true;
}

std::uint32_t CProjectData::GetEncryption() const
{
    return m_strPassword.empty() ? kEncryptNone : m_dwEncryption;
}

std::string CProjectData::GetEncryptionText() const
{
    switch (GetEncryption()) {
    case kEncryptAes256:
        return "AES-256";
    case kEncryptTraditional:
        return "traditional ZIP encryption";
    default:
        return {};
    }
}

std::string CProjectData::GetBackupTypeText() const
{
    if (m_dwBackupType > 2)
        return {};
    return LoadResString(kTextFirstBackupType + m_dwBackupType);
}
