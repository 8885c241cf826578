#pragma once

#include "Dbx5FolderReader.h"
#include "RestoreIdentity.h"
#include "SourceTree.h"

#include <cstdint>
#include <memory>
#include <string>

class CCheckTreeModel;

// One Outlook Express identity: its mail folders (the ".dbx" files the folder index
// "Folders.dbx" lists, and the index itself) and five settings items exported from
// the registry (accounts, rules, blocked senders, mail preferences, signatures).
// Entries are stored as "OE\{GUID}\" + file name, mail files as "OE\{GUID}\dbx\" +
// file name; the catalogue is "{GUID}.tdat", the saved choice "{GUID}.xsel".
//
// Backup mode: Initialise (GUID, name) reads the identity's keys and store folder;
// FillTree shows the folders and the settings; Collect exports and lists the
// checked ones. Restore mode: Initialise with the catalogue's name, LoadForRestore
// reads it from the backup, SetRestoreTarget names the identity to restore into and
// PlanRestore puts mail files into its store folder and the exports into the work
// folder, from where the restore imports them below the target identity's keys.
//
// Identity GUIDs and catalogue names come from the registry and from backups that
// may be crafted: nothing that is not of the GUID form builds a key, path or name.
class COEData : public CRestoreIdentity
{
public:
    static constexpr const char* kIdentitiesKey = "Identities";
    static constexpr const char* kExpressKey = "\\Software\\Microsoft\\Outlook Express";
    static constexpr const char* kAccountsKey = "Software\\Microsoft\\Internet Account Manager";
    static constexpr const char* kArchiveFolder = "OE";
    static constexpr const char* kIndexName = "Folders.dbx";

    COEData();
    ~COEData() override;

    // Stores the identity (backup: its GUID; restore: its catalogue's name) and its
    // name, then reads its settings (ReadOEData). 0.
    int Initialise(const std::string& identity, const std::string& name);
    // 0, 3 (version below 5) or 4 (keys missing); 0 without action when the identity
    // is empty or no GUID (a catalogue's name in restore mode).
    int ReadOEData();

    // The tree shown to the user (not owned); null gives the source a tree of its own.
    void SetTree(CCheckTreeModel* tree);
    CCheckTreeModel& GetTree() const { return m_Tree.Get(); }
    // Backup mode: the mail folders and the settings items, checked, then the saved
    // choice; 0 when the folder index cannot be read (the settings are still
    // offered), else 1. Restore mode: the items of the catalogue, all checked; 1.
    int FillTree();
    using CDataSource::FillTree;

    void SaveSelection() override;
    // 0 with the catalogue's name, 7 (cancelled), 12 (stopped), 4 (no such identity)
    // or 6 (the catalogue cannot be written).
    int Collect(std::string& catalogueName) override;
    // Restore: the identity's catalogue from the backup into the item list and the
    // tree; 0, the extraction's code, or 10 (unreadable, or a name of no GUID).
    int LoadForRestore(const CatalogueExtract& extract) override;
    // Restore: the identity to restore into and its store folder. False (and no
    // target) when the GUID is of no GUID form.
    bool SetRestoreTarget(const std::string& targetGuid, int flag);
    int PlanRestore() override;

    std::string GetIdentityName() const override { return m_strIdentityName; }
    std::string GetTargetGuid() const override { return m_strTargetGuid; }
    int GetRestoreFlag() const { return m_nRestoreFlag; }
    const std::string& GetIdentity() const { return m_strIdentity; }
    // The identity's GUID: the identity field, without ".tdat" in restore mode;
    // empty when it is no GUID.
    std::string GetGuid() const;
    int GetVersion() const { return m_nVersion; }
    const std::string& GetStoreFolder() const { return m_strStoreFolder; }
    const std::string& GetIndexFile() const { return m_strIndexFile; }
    const std::string& GetTargetStoreFolder() const { return m_strTargetStoreFolder; }
    const std::string& GetSettingsKey() const { return m_strSettingsKey; }
    const CDbx5FolderReader& GetFolderReader() const { return m_FolderReader; }

    // The registry export's file name of kinds 10 and 16-20; null for other kinds.
    static const char* ExportFileName(std::uint32_t kind);
    // Restore: the data of the identity whose catalogue the backup holds as
    // `catalogueName`, read through `extract` into a tree of its own; null with the
    // result code in `code` when the catalogue cannot be read or is of no GUID (which
    // `report`, when given, is told).
    static std::unique_ptr<COEData> ForRestore(const std::string& catalogueName,
                                               const std::string& displayName,
                                               const CatalogueExtract& extract,
                                               CTextSink* report, int& code);
    // The store folder of an identity (the highest version's "Store Root", expanded);
    // empty when the GUID is no GUID, a key is missing or the root is not absolute.
    static std::string LookUpStoreFolder(const std::string& guid);
    // "Identities\" + GUID + the Outlook Express key.
    static std::string ExpressKeyOf(const std::string& guid);

private:
    // The highest version sub-key of the Outlook Express key: 0 with its name, or
    // 4 (no key or no sub-keys).
    static int FindVersionKey(const std::string& guid, std::string& name, int& version);
    bool ReadFolderIndex();
    void FillBackupTree();
    void AddSettingsItems();
    int CollectItem(TvTreeItem item, std::uint32_t kind, std::uintptr_t value);
    int CollectExport(TvTreeItem item, std::uint32_t kind);
    int AddOEFile(const std::string& path, std::uint32_t kind, TvTreeItem item);
    std::string TreePathOf(TvTreeItem item) const;
    void PlanEntriesOf(const CAddInfo& checked, std::size_t& dbxCount);
    bool PlanStored(const CAddInfo& stored);
    std::string EntryFolderOf(std::uint32_t kind) const;
    void LogPlanHeader() const;
    std::string SelectionFile() const;
    const std::string& KeyOf(std::uint32_t kind) const;

    std::string m_strIdentity;
    std::string m_strIdentityName;
    std::string m_strTargetGuid;
    CDbx5FolderReader m_FolderReader;
    std::string m_strTargetStoreFolder;
    int m_nRestoreFlag = 0;
    std::string m_strSettingsKey;
    std::string m_strStoreFolder;
    std::string m_strIndexFile;
    std::string m_strRulesKey;
    std::string m_strBlockedSendersKey;
    std::string m_strMailKey;
    std::string m_strSignaturesKey;
    std::string m_strGlobalAccountsKey;
    std::string m_strIdentityAccountsKey;
    int m_nVersion = 0;
    CSourceTree m_Tree;
};
