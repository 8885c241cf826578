#include "DataApplicationObject.h"

#include "StoredName.h"

#include "Registry.h"

#include <sys/stat.h>

namespace {

bool IsFolder(const std::string& path)
{
    struct stat st
    {
    };
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

CDataApplicationObject::CDataApplicationObject(const ApplicationRow& row)
    : m_strDisplayName(row.displayName), m_strShortName(row.shortName),
      m_strFirstPathKey(row.firstPathKey), m_strSecondPathKey(row.secondPathKey),
      m_FirstRoot(row.firstRoot), m_SecondRoot(row.secondRoot), m_strSettingsKey(row.settingsKey),
      m_strVersion(row.version), m_strFolderTemplate(row.folder)
{
}

std::string CDataApplicationObject::ReadPathValue(HKEY root, const std::string& key)
{
    if (!root || key.empty())
        return {};
    CRegistry registry(root);
    std::string path;
    if (!registry.Open(root, key, KEY_READ) || !registry.Read("Path", path))
        return {};
    return NativeAbsolutePath(path);
}

int CDataApplicationObject::Detect()
{
    if (!m_strFolderTemplate.empty()) {
        m_strInstallFolder = NativeAbsolutePath(m_strFolderTemplate);
        m_strSecondInstallFolder.clear();
    } else {
        m_strInstallFolder = ReadPathValue(m_FirstRoot, m_strFirstPathKey);
        m_strSecondInstallFolder = ReadPathValue(m_SecondRoot, m_strSecondPathKey);
    }
    m_nPresent = IsFolder(m_strInstallFolder) || IsFolder(m_strSecondInstallFolder) ? 1 : 0;
    return m_nPresent;
}

std::string CDataApplicationObject::GetFolder() const
{
    if (!m_strFolderTemplate.empty() || IsFolder(m_strInstallFolder))
        return m_strInstallFolder;
    return IsFolder(m_strSecondInstallFolder) ? m_strSecondInstallFolder : std::string();
}

std::string CDataApplicationObject::GetArchiveFolder() const
{
    return "APP\\" + m_strShortName + "\\Files";
}
