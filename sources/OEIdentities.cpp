#include "OEIdentities.h"

#include "OEData.h"
#include "RegistryKeyCheck.h"
#include "StoredName.h"

#include "ItemKinds.h"

#include "Registry.h"
#include "WriteLog.h"

#include <algorithm>

COEIdentities::COEIdentities()
{
    Enumerate();
}

COEIdentities::~COEIdentities() = default;

void COEIdentities::Reset()
{
    // The identities' data go with the job: the next one has choices of its own.
    m_Data.clear();
    CBackupMangerSource::Reset();
    Enumerate();
}

std::string COEIdentities::ReadStringValue(HKEY root, const std::string& key, const std::string& name)
{
    CRegistry registry(root);
    std::string text;
    if (!registry.Open(root, key, KEY_READ) || !registry.Read(name, text))
        return {};
    return text;
}

bool COEIdentities::HasStore(const std::string& guid) const
{
    // Only an absolute root is a store: an empty or relative one would name the
    // file-system root or wherever the program happens to run.
    const std::string key = std::string(COEData::kIdentitiesKey) + "\\" + guid + COEData::kExpressKey + "\\5.0";
    return !NativeAbsolutePath(ReadStringValue(HKEY_CURRENT_USER, key, "Store Root")).empty();
}

int COEIdentities::Enumerate()
{
    m_Guids.clear();
    m_Names.clear();
    m_Flags.clear();
    m_nLoaded = 0;
    const std::string identities = COEData::kIdentitiesKey;
    m_strMainGuid = ReadStringValue(HKEY_CURRENT_USER, identities, "Default User ID");
    WriteLog("Main GUID : %s", m_strMainGuid.c_str());
    if (m_strMainGuid.empty()) {
        m_Data.clear();
        return 2;
    }
    m_strMainUserName = CRegistryKeyCheck::IsGuidForm(m_strMainGuid)
                            ? ReadStringValue(HKEY_CURRENT_USER, identities + "\\" + m_strMainGuid, "Username")
                            : std::string();
    WriteLog("Main Username : %s", m_strMainUserName.c_str());
    CRegistry registry(HKEY_CURRENT_USER);
    if (!registry.Open(HKEY_CURRENT_USER, identities, KEY_ALL_ACCESS))
        return 0;
    std::vector<std::string> keys;
    registry.EnumKeys(keys);
    // A key of another form is no identity: its name would build keys and paths.
    for (const std::string& guid : keys)
        if (CRegistryKeyCheck::IsGuidForm(guid) && HasStore(guid))
            m_Guids.push_back(guid);
    for (const std::string& guid : m_Guids) {
        m_Names.push_back(ReadStringValue(HKEY_CURRENT_USER, identities + "\\" + guid, "Username"));
        WriteLog("Identity GIUD: %s\nNAME : %s", guid.c_str(), m_Names.back().c_str());
    }
    m_Flags.assign(m_Guids.size(), 0);
    std::erase_if(m_Data, [this](const auto& entry) {
        return std::find(m_Guids.begin(), m_Guids.end(), entry.first) == m_Guids.end();
    });
    WriteLog("Number of Identities : %d", static_cast<int>(m_Guids.size()));
    m_nLoaded = 1;
    return 1;
}

COEData* COEIdentities::GetIdentityData(std::size_t position)
{
    if (position >= m_Guids.size())
        return nullptr;
    std::unique_ptr<COEData>& data = m_Data[m_Guids[position]];
    if (!data) {
        data = std::make_unique<COEData>();
        data->SetMode(0);
        data->Initialise(m_Guids[position], m_Names[position]);
    }
    return data.get();
}

CBackupMangerSource* COEIdentities::GetIdentitySource(std::size_t position)
{
    return GetIdentityData(position);
}
