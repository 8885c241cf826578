#pragma once

#include "BackupMangerSource.h"
#include "RegTypes.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class CBackupManger;
class COEData;

// The Outlook Express identities of the registry store ("Identities\{GUID}"): those
// with a store folder, in key order, each with its name. The engine's backup tree
// shows one node per identity; each one's data (COEData) is built when it is first
// needed and kept by GUID. The restore pages take the same list as the identities to
// restore into, and may make a new one.
class COEIdentities : public CBackupMangerSource
{
public:
    static constexpr unsigned kTextDefaultName = 165;

    COEIdentities();
    ~COEIdentities() override;

    // A new job: the identities' data go, and the identities are enumerated again.
    void Reset() override;
    // 1 identities found, 2 no "Default User ID" (no identities), 0 the "Identities"
    // key cannot be opened. Every selection flag is 0 afterwards; the data of
    // identities still there are kept.
    int Enumerate();
    bool IsPresent() const override { return m_nLoaded == 1 && !m_Guids.empty(); }
    // The group collects nothing itself: each identity is a source of its own.
    int Collect(std::string& catalogueName) override
    {
        catalogueName.clear();
        return 0;
    }
    std::vector<std::string> GetIdentityNames() const override { return m_Names; }
    CBackupMangerSource* GetIdentitySource(std::size_t position) override;
    // The data of the identity at `position`, read in backup mode; null past the end.
    COEData* GetIdentityData(std::size_t position);

    // Makes a new identity with a unique name (the default name, then "(1)", ...), a
    // fresh GUID and a store folder of its own, and makes it the default identity
    // when there is none. Its index in the list, or -1 when it could not be made.
    int CreateIdentity(std::string& guid, std::string& name);
    // The identity to restore `backupGuid` into on a machine where nobody chooses:
    // the identity itself when this system has it, else a new one. Empty on failure.
    std::string ChooseRestoreTarget(const std::string& backupGuid);

    // Restore: gives the engine the data of every identity of the opened backup, its
    // catalogue read and its target the one `chooseTarget` names. An empty name
    // leaves the identity without a target: it restores nothing until it gets one.
    // False when one cannot be read or its target is no identity; `failed` then
    // names it.
    using TargetChooser = std::function<std::string(const COEData& data)>;
    static bool LoadRestoreIdentities(CBackupManger& engine, const TargetChooser& chooseTarget,
                                      std::string& failed);

    // A text value; empty when the key or value is missing.
    static std::string ReadStringValue(HKEY root, const std::string& key, const std::string& name);

    const std::vector<std::string>& GetGuids() const { return m_Guids; }
    const std::vector<std::string>& GetNames() const { return m_Names; }
    std::vector<std::uint8_t>& GetSelectionFlags() { return m_Flags; }
    const std::string& GetMainGuid() const { return m_strMainGuid; }
    const std::string& GetMainUserName() const { return m_strMainUserName; }
    // Where a new identity's mail store goes.
    static std::string NewStoreFolder(const std::string& guid);

private:
    bool HasStore(const std::string& guid) const;

    std::vector<std::string> m_Guids;
    std::vector<std::string> m_Names;
    std::vector<std::uint8_t> m_Flags;
    int m_nLoaded = 0;
    std::string m_strMainGuid;
    std::string m_strMainUserName;
    std::map<std::string, std::unique_ptr<COEData>> m_Data;
};
