#include "WabData.h"

#include "ResultCodes.h"
#include "StoredName.h"

#include "CaseFold.h"
#include "ExpandEnvironment.h"
#include "FolderTools.h"
#include "ProjectData.h"
#include "Registry.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>

namespace {

std::string ReadDefaultValue(const char* key)
{
    CRegistry registry(HKEY_CURRENT_USER);
    std::string value;
    if (!registry.Open(HKEY_CURRENT_USER, key, KEY_READ) || !registry.Read("", value))
        return {};
    return value;
}

bool Exists(const std::string& path)
{
    struct stat st
    {
    };
    return lstat(path.c_str(), &st) == 0;
}

// The path as this system spells it: an address book registered as "Contacts.WAB"
// may be "contacts.wab" on disk. Without such a file the path stays as it is.
std::string WithCaseOnDisk(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (Exists(path) || slash == std::string::npos)
        return path;
    const std::string folder = slash == 0 ? "/" : path.substr(0, slash);
    const std::string name = path.substr(slash + 1);
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    if (!dir)
        return path;
    while (const dirent* entry = readdir(dir.get()))
        if (EqualsNoCase(entry->d_name, name))
            return path.substr(0, slash + 1) + entry->d_name;
    return path;
}

} // namespace

CWabData::CWabData() : CStoredFilesSource(kCatalogueName)
{
    ReadPath();
}

void CWabData::Reset()
{
    CStoredFilesSource::Reset();
    m_strRestoreFileName.clear();
    ReadPath();
}

void CWabData::ReadPath()
{
    std::string path = ReadDefaultValue(kWab4Key);
    if (std::string wab5 = ReadDefaultValue(kWab5Key); !wab5.empty())
        path = wab5;
    path = ExpandEnvironmentStrings(path);
    for (char& c : path)
        if (c == '\\')
            c = '/';
    // Only an absolute path names a file: anything else would depend on where the
    // program happens to run.
    if (path.empty() || path.front() != '/' || path.back() == '/') {
        m_strPath.clear();
        m_strFileName.clear();
        return;
    }
    m_strPath = WithCaseOnDisk(path);
    m_strFileName = m_strPath.substr(m_strPath.rfind('/') + 1);
}

int CWabData::Collect(std::string& catalogueName)
{
    m_ItemList.RemoveAll();
    catalogueName.clear();
    if (m_strPath.empty())
        return result::kSuccess;
    const int code = AddStoredFile(m_strPath, std::string(kArchiveFolder) + "\\" + m_strFileName);
    if (code == result::kCancel)
        return code;
    if (code != result::kSuccess)
        return result::kSuccess;
    return FinishCollect(catalogueName);
}

const CAddInfo* CWabData::StoredBook(std::string& fileName) const
{
    // The catalogue's own entry is not in it: the first item is the address book.
    if (m_ItemList.IsEmpty())
        return nullptr;
    const CAddInfo* stored = m_ItemList[0];
    const auto below = StoredNameBelow(stored->m_strEntryName, kArchiveFolder);
    const auto parts = below ? SplitStoredName(*below) : std::nullopt;
    if (!parts || parts->size() != 1)
        return nullptr;
    fileName = parts->front();
    return stored;
}

int CWabData::LoadForRestore(const CatalogueExtract& extract)
{
    m_strRestoreFileName.clear();
    const int code = ReadStoredCatalogue(extract);
    if (code == result::kSuccess)
        StoredBook(m_strRestoreFileName);
    return code;
}

int CWabData::PlanRestore()
{
    if (m_ItemList.IsEmpty())
        return result::kSuccess;
    std::string storedName;
    const CAddInfo* stored = StoredBook(storedName);
    if (!stored) {
        RefuseStored(*m_ItemList[0], "it is no address book of this backup");
        return result::kSuccess;
    }
    if (m_strPath.empty()) {
        RefuseStored(*stored, "no address book is registered on this system");
        return result::kSuccess;
    }
    // The stored book replaces the one in use here, under this system's name.
    const std::string folder = m_strPath.substr(0, std::max<std::size_t>(m_strPath.rfind('/'), 1));
    tbm::CreateFolderPath(folder, 0700);
    auto plan = std::make_unique<CAddInfo>(*stored);
    plan->m_strSourcePath = folder;
    plan->m_strTargetPath = m_strPath;
    plan->m_strNewName = m_strFileName;
    plan->m_dwDirectory = 0;
    plan->m_dwKind = 0;
    plan->m_strTargetRoot = folder;
    m_RestorePlan.Add(std::move(plan));
    return result::kSuccess;
}

std::string CWabData::ExtractStoredFile(const CatalogueExtract& extract)
{
    std::string fileName;
    const CAddInfo* stored = StoredBook(fileName);
    std::string path;
    if (!stored || !extract || extract(stored->m_strEntryName, path) != result::kSuccess)
        return {};
    path = g_ProjectData.GetPathInWorkFolder(fileName);
    return Exists(path) ? path : std::string();
}
