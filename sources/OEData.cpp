#include "OEData.h"

#include "KeyVersion.h"
#include "RegistryKeyCheck.h"
#include "StoredName.h"

#include "ItemKinds.h"
#include "ResultCodes.h"

#include "Registry.h"
#include "WriteLog.h"

namespace {

constexpr const char* kCatalogueExtension = ".tdat";

bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

COEData::COEData() = default;

COEData::~COEData() = default;

int COEData::Initialise(const std::string& identity, const std::string& name)
{
    m_strIdentity = identity;
    m_strIdentityName = name;
    ReadOEData();
    return result::kSuccess;
}

std::string COEData::GetGuid() const
{
    std::string guid = m_strIdentity;
    if (EndsWith(guid, kCatalogueExtension))
        guid.resize(guid.size() - std::string(kCatalogueExtension).size());
    return CRegistryKeyCheck::IsGuidForm(guid) ? guid : std::string();
}

std::string COEData::ExpressKeyOf(const std::string& guid)
{
    return std::string(kIdentitiesKey) + "\\" + guid + kExpressKey;
}

int COEData::FindVersionKey(const std::string& guid, std::string& name, int& version)
{
    name.clear();
    version = 0;
    CRegistry registry(HKEY_CURRENT_USER);
    std::vector<std::string> subkeys;
    if (registry.Open(HKEY_CURRENT_USER, ExpressKeyOf(guid), KEY_READ))
        registry.EnumKeys(subkeys);
    if (subkeys.empty())
        return result::kNoOERegistry;
    // Ties keep the first: "5.0" before a later "5".
    for (const std::string& subkey : subkeys) {
        const int number = KeyVersionOf(subkey);
        if (name.empty() || number > version) {
            version = number;
            name = subkey;
        }
    }
    return result::kSuccess;
}

int COEData::ReadOEData()
{
    WriteLog("Enter : COEData::ReadOEData");
    m_nVersion = 0;
    m_strSettingsKey.clear();
    m_strStoreFolder.clear();
    m_strIndexFile.clear();
    // A catalogue's name (restore mode) or anything else of no GUID form names no
    // identity of this system.
    if (m_strIdentity.empty() || !CRegistryKeyCheck::IsGuidForm(m_strIdentity))
        return result::kSuccess;
    const std::string& guid = m_strIdentity;
    WriteLog("Start Getting Main Data");
    WriteLog("Identity=%s", guid.c_str());
    std::string versionKey;
    if (FindVersionKey(guid, versionKey, m_nVersion) != result::kSuccess)
        return result::kNoOERegistry;
    if (m_nVersion < 5)
        return result::kOEUnsupported;
    m_strSettingsKey = ExpressKeyOf(guid) + "\\" + versionKey;
    WriteLog("Outlook Reg Keys  : %s", m_strSettingsKey.c_str());
    CRegistry registry(HKEY_CURRENT_USER);
    if (!registry.Open(HKEY_CURRENT_USER, m_strSettingsKey, KEY_READ))
        return result::kNoOERegistry;
    std::string root;
    registry.Read("Store Root", root);
    // An empty or relative root is no store at all, never the file-system root.
    m_strStoreFolder = NativeAbsolutePath(root);
    WriteLog("Outlook Store path: %s", m_strStoreFolder.c_str());
    m_strIndexFile = m_strStoreFolder.empty() ? std::string() : m_strStoreFolder + "/" + kIndexName;
    WriteLog("Outlook Folders.dbx path: %s", m_strIndexFile.c_str());
    m_strRulesKey = m_strSettingsKey + "\\Rules";
    m_strBlockedSendersKey = m_strSettingsKey + "\\Block Senders";
    m_strMailKey = m_strSettingsKey + "\\Mail";
    m_strSignaturesKey = m_strSettingsKey + "\\signatures";
    m_strGlobalAccountsKey = kAccountsKey;
    m_strIdentityAccountsKey = std::string(kIdentitiesKey) + "\\" + guid + "\\" + kAccountsKey;
    WriteLog("Outlook Rules Reg Keys  : %s", m_strRulesKey.c_str());
    WriteLog("Outlook BlockSenders Reg Keys  : %s", m_strBlockedSendersKey.c_str());
    WriteLog("Outlook Preferences Reg Keys  : %s", m_strMailKey.c_str());
    WriteLog("Outlook Signatures Reg Keys  : %s", m_strSignaturesKey.c_str());
    WriteLog("Outlook Accounts Reg Keys  : %s", m_strGlobalAccountsKey.c_str());
    WriteLog("Outlook Accounts Reg Keys  : %s", m_strIdentityAccountsKey.c_str());
    return result::kSuccess;
}

std::string COEData::LookUpStoreFolder(const std::string& guid)
{
    if (!CRegistryKeyCheck::IsGuidForm(guid))
        return {};
    std::string versionKey;
    int version = 0;
    if (FindVersionKey(guid, versionKey, version) != result::kSuccess || version < 5)
        return {};
    CRegistry registry(HKEY_CURRENT_USER);
    std::string root;
    if (!registry.Open(HKEY_CURRENT_USER, ExpressKeyOf(guid) + "\\" + versionKey, KEY_READ) ||
        !registry.Read("Store Root", root))
        return {};
    return NativeAbsolutePath(root);
}

bool COEData::SetRestoreTarget(const std::string& targetGuid, int flag)
{
    m_nRestoreFlag = flag;
    if (!CRegistryKeyCheck::IsGuidForm(targetGuid)) {
        m_strTargetGuid.clear();
        m_strTargetStoreFolder.clear();
        return false;
    }
    m_strTargetGuid = targetGuid;
    m_strTargetStoreFolder = LookUpStoreFolder(targetGuid);
    return true;
}

const std::string& COEData::KeyOf(std::uint32_t kind) const
{
    static const std::string none;
    switch (kind) {
    case itemkind::kOEAccounts:
        return m_strGlobalAccountsKey;
    case itemkind::kOEIdentityAccounts:
        return m_strIdentityAccountsKey;
    case itemkind::kOERules:
        return m_strRulesKey;
    case itemkind::kOESignatures:
        return m_strSignaturesKey;
    case itemkind::kOEMailPrefs:
        return m_strMailKey;
    case itemkind::kOEBlockedSenders:
        return m_strBlockedSendersKey;
    default:
        return none;
    }
}
