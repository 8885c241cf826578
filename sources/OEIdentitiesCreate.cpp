// A new identity to restore into.
#include "OEIdentities.h"

#include "IdentityGuid.h"
#include "OEData.h"

#include "FolderTools.h"
#include "Registry.h"
#include "ResourceLibrary.h"
#include "UniqueNames.h"
#include "WriteLog.h"
#include "XdgFolders.h"

#include <sys/stat.h>

#include <algorithm>

namespace {

// The name when the text library has none (a missing library).
constexpr const char* kDefaultName = "Restored Identity";

bool WriteText(const std::string& key, const std::string& name, const std::string& text)
{
    CRegistry registry(HKEY_CURRENT_USER);
    return registry.CreateKey(HKEY_CURRENT_USER, key) &&
           registry.Open(HKEY_CURRENT_USER, key, KEY_ALL_ACCESS) && registry.Write(name, text);
}

} // namespace

std::string COEIdentities::NewStoreFolder(const std::string& guid)
{
    const std::string data = CXdgFolders::GetFolder(CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE);
    return data.empty() ? std::string() : data + "/Identities/" + guid + "/Microsoft/Outlook Express";
}

int COEIdentities::CreateIdentity(std::string& guid, std::string& name)
{
    std::string base = LoadResString(kTextDefaultName);
    if (base.empty())
        base = kDefaultName;
    name = tbm::MakeUniqueName(base, m_Names);
    guid = NewIdentityGuid();
    const std::string store = guid.empty() ? std::string() : NewStoreFolder(guid);
    if (!store.empty())
        tbm::CreateFolderPath(store, 0700);
    struct stat st
    {
    };
    if (store.empty() || stat(store.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        WriteLog("Fail to create the store folder of a new identity");
        return -1;
    }
    const std::string identities = COEData::kIdentitiesKey;
    const std::string key = identities + "\\" + guid;
    if (!WriteText(key, "User ID", guid) || !WriteText(key, "Username", name) ||
        !WriteText(COEData::ExpressKeyOf(guid) + "\\5.0", "Store Root", store)) {
        WriteLog("Fail to create the identity %s", guid.c_str());
        return -1;
    }
    // Without a default identity the next enumeration would find none, and the
    // restored identity would be missing from every later backup.
    if (ReadStringValue(HKEY_CURRENT_USER, identities, "Default User ID").empty()) {
        WriteText(identities, "Default User ID", guid);
        m_strMainGuid = guid;
        m_strMainUserName = name;
        m_nLoaded = 1;
    }
    m_Guids.push_back(guid);
    m_Names.push_back(name);
    m_Flags.push_back(0);
    return static_cast<int>(m_Guids.size()) - 1;
}

std::string COEIdentities::ChooseRestoreTarget(const std::string& backupGuid)
{
    if (std::find(m_Guids.begin(), m_Guids.end(), backupGuid) != m_Guids.end())
        return backupGuid;
    std::string guid;
    std::string name;
    return CreateIdentity(guid, name) < 0 ? std::string() : guid;
}
