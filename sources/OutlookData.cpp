#include "OutlookData.h"

#include "KeyVersion.h"

#include "ItemKinds.h"
#include "ResultCodes.h"

#include "CheckTreeModel.h"
#include "FolderTools.h"
#include "Registry.h"
#include "XdgFolders.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

namespace {

bool IsFolder(const std::string& path)
{
    struct stat st
    {
    };
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool KeyExists(const std::string& path)
{
    CRegistry registry(HKEY_CURRENT_USER);
    return registry.VerifyKey(HKEY_CURRENT_USER, path, KEY_READ);
}

std::size_t SlotOf(std::uint32_t kind)
{
    return kind - itemkind::kOLPersonal;
}

bool IsFileKind(std::uint32_t kind)
{
    return kind >= itemkind::kOLPersonal && kind <= itemkind::kOLSignatures;
}

} // namespace

COutlookData::COutlookData() : CStoredFilesSource(kCatalogueName)
{
    SetTree(nullptr);
    Detect();
}

COutlookData::~COutlookData() = default;

void COutlookData::SetTree(CCheckTreeModel* tree)
{
    m_Tree.Set(tree);
}

void COutlookData::Reset()
{
    m_Tree.Clear();
    for (auto& files : m_Files)
        files.clear();
    CStoredFilesSource::Reset();
    Detect();
}

void COutlookData::TakeFolders()
{
    const std::string roaming = CXdgFolders::GetFolder(CSIDL_APPDATA | CSIDL_FLAG_CREATE);
    const std::string local = CXdgFolders::GetFolder(CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE);
    m_strRoamingFolder = roaming + "/Microsoft/Outlook";
    m_strLocalFolder = local + "/Microsoft/Outlook";
    m_strFormsFolder = local + "/Microsoft/FORMS";
    m_strSignaturesFolder = roaming + "/Microsoft/Signatures";
    m_strStationeryFolder = roaming + "/Microsoft/Stationery";
}

int COutlookData::Detect()
{
    m_nFound = 0;
    m_nOfficeVersion = 0;
    m_strOptionsKey.clear();
    m_strCategoriesKey.clear();
    m_strAccountsKey.clear();
    TakeFolders();
    if (!IsFolder(m_strRoamingFolder) || !IsFolder(m_strLocalFolder))
        return result::kNoOutlook;
    for (const std::string* folder :
         {&m_strFormsFolder, &m_strSignaturesFolder, &m_strStationeryFolder})
        tbm::CreateFolderPath(*folder, 0700);
    CRegistry registry(HKEY_CURRENT_USER);
    std::vector<std::string> versions;
    if (registry.Open(HKEY_CURRENT_USER, kOfficeKey, KEY_READ))
        registry.EnumKeys(versions);
    for (const std::string& name : versions)
        m_nOfficeVersion = std::max(m_nOfficeVersion, KeyVersionOf(name));
    if (!versions.empty() && m_nOfficeVersion < 8)
        return result::kNoOutlook;
    if (!versions.empty())
        FindKeys();
    m_nFound = 1;
    return result::kSuccess;
}

void COutlookData::FindKeys()
{
    // Outlook 2000 and XP keep their options and categories below the version's key.
    // Later versions keep them elsewhere, and the bare Office key is no Outlook key:
    // nothing is looked up there, so only the accounts are offered.
    if (m_nOfficeVersion <= 10) {
        const std::string base =
            std::string(kOfficeKey) + "\\" + std::to_string(m_nOfficeVersion) + ".0\\Outlook";
        m_strOptionsKey = base + "\\Options";
        m_strCategoriesKey = base + "\\Categories";
    }
    m_strAccountsKey = kAccountsKey;
    for (std::string* key : {&m_strOptionsKey, &m_strCategoriesKey, &m_strAccountsKey})
        if (!key->empty() && !KeyExists(*key))
            key->clear();
}

std::vector<COutlookData::OutlookFile> COutlookData::ListFolder(const std::string& folder)
{
    std::vector<OutlookFile> files;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    if (!dir)
        return files;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        const std::string path = folder + "/" + name;
        struct stat st
        {
        };
        // Dot-files are the hidden files here; links, folders and devices are no
        // data files of Outlook's.
        if (name.front() != '.' && lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            files.push_back({name, path, static_cast<std::uint64_t>(st.st_size)});
    }
    std::sort(files.begin(), files.end(),
              [](const OutlookFile& a, const OutlookFile& b) { return a.name < b.name; });
    return files;
}

int COutlookData::Load()
{
    m_ItemList.RemoveAll();
    for (auto& files : m_Files)
        files.clear();
    if (m_nFound != 1)
        return result::kNoOutlook;
    for (std::uint32_t kind = itemkind::kOLPersonal; kind <= itemkind::kOLSignatures; ++kind)
        m_Files[SlotOf(kind)] = ListFolder(GetFolder(kind));
    return result::kSuccess;
}

std::string COutlookData::GetFolder(std::uint32_t kind) const
{
    switch (kind) {
    case itemkind::kOLPersonal:
        return m_strLocalFolder;
    case itemkind::kOLSettings:
        return m_strRoamingFolder;
    case itemkind::kOLForms:
        return m_strFormsFolder;
    case itemkind::kOLStationery:
        return m_strStationeryFolder;
    case itemkind::kOLSignatures:
        return m_strSignaturesFolder;
    default:
        return {};
    }
}

const std::vector<COutlookData::OutlookFile>& COutlookData::GetFiles(std::uint32_t kind) const
{
    static const std::vector<OutlookFile> none;
    return IsFileKind(kind) ? m_Files[SlotOf(kind)] : none;
}

const char* COutlookData::RegistryFileName(std::uint32_t kind)
{
    switch (kind) {
    case itemkind::kOLRegAccounts:
        return "OLAccounts.reg";
    case itemkind::kOLRegOptions:
        return "OLOptions.reg";
    case itemkind::kOLRegCategories:
        return "OLCate.reg";
    default:
        return nullptr;
    }
}

const std::string& COutlookData::KeyOf(std::uint32_t kind) const
{
    static const std::string none;
    switch (kind) {
    case itemkind::kOLRegAccounts:
        return m_strAccountsKey;
    case itemkind::kOLRegOptions:
        return m_strOptionsKey;
    case itemkind::kOLRegCategories:
        return m_strCategoriesKey;
    default:
        return none;
    }
}
