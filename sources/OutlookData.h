#pragma once

#include "SourceTree.h"
#include "StoredFilesSource.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CCheckTreeModel;

// Microsoft Outlook 2000/XP: the files of its five folders (personal folders and
// data files, settings files, forms, signatures, stationery) and three registry keys
// (accounts, options, categories), offered in a tree of the source's own. Files are
// stored as "OutlookData\" + the kind's archive folder + "\" + name, the keys as
// "REGEDIT4" exports "OutlookData\OLReg\OLAccounts.reg" (OLOptions.reg, OLCate.reg)
// made by the registry editor; the catalogue is "Outlook.tdat". The choice is kept as
// "Outlook2000.xsel" in the job's folder, files keyed by path and groups by text.
//
// A restore needs no Outlook on this machine: the tree comes from the backup, the
// folders are made as they are needed, files go back into the folder of their kind
// (one name each, nothing below) and registry exports into the work folder, from
// where the restore imports them below Outlook's own keys only.
class COutlookData : public CStoredFilesSource
{
public:
    static constexpr const char* kCatalogueName = "Outlook.tdat";
    static constexpr const char* kSelectionName = "Outlook2000.xsel";
    static constexpr const char* kArchiveFolder = "OutlookData";
    static constexpr const char* kOfficeKey = "Software\\Microsoft\\Office";
    static constexpr const char* kAccountsKey =
        "Software\\Microsoft\\Office\\Outlook\\OMI Account Manager";

    // One file of an Outlook folder.
    struct OutlookFile
    {
        std::string name;
        std::string path;
        std::uint64_t size = 0;
    };

    COutlookData();
    ~COutlookData() override;

    // Takes the folders anew and detects Outlook.
    void Reset() override;
    // 0 when Outlook's folders are here and the Office version is 8 or later (the
    // forms, signatures and stationery folders are made when missing), else 1.
    int Detect();
    bool IsPresent() const override { return m_nFound == 1; }

    // Backup mode: lists the five folders; 1 when Outlook was not found, else 0.
    int Load();
    // The tree shown to the user (not owned); null gives the source a tree of its own.
    void SetTree(CCheckTreeModel* tree);
    CCheckTreeModel& GetTree() { return m_Tree.Get(); }
    // Backup mode: the files by folder and the registry keys that exist, all checked,
    // then the saved choice applied. Restore mode: the items of the backup, all
    // checked. 0.
    int FillTree();
    using CDataSource::FillTree;

    void SaveSelection() override;
    // 0 with the catalogue's name, 7 (cancelled), 12 (stopped) or 1 (no Outlook).
    int Collect(std::string& catalogueName) override;
    int LoadForRestore(const CatalogueExtract& extract) override;
    int PlanRestore() override;

    int GetOfficeVersion() const { return m_nOfficeVersion; }
    const std::string& GetOptionsKey() const { return m_strOptionsKey; }
    const std::string& GetCategoriesKey() const { return m_strCategoriesKey; }
    const std::string& GetAccountsKey() const { return m_strAccountsKey; }
    // The folder of a file kind (5-9); empty for other kinds.
    std::string GetFolder(std::uint32_t kind) const;
    // The files listed for a file kind (5-9).
    const std::vector<OutlookFile>& GetFiles(std::uint32_t kind) const;

    // The registry export's file name of kinds 26-28; null for other kinds.
    static const char* RegistryFileName(std::uint32_t kind);

private:
    void TakeFolders();
    void FindKeys();
    static std::vector<OutlookFile> ListFolder(const std::string& folder);
    void FillBackupTree();
    void FillRestoreTree();
    void AddFileGroup(TvTreeItem top, unsigned textId, std::uint32_t kind);
    TvTreeItem AddTagged(const std::string& text, TvTreeItem parent, std::uintptr_t value,
                         std::uint32_t kind, const std::string& key);
    int CollectItem(TvTreeItem item, std::uint32_t kind, std::uintptr_t value);
    std::string TreePathOf(TvTreeItem item) const;
    bool PlanStored(const CAddInfo& stored);
    const std::string& KeyOf(std::uint32_t kind) const;

    int m_nFound = 0;
    // The local Outlook, roaming Outlook, forms, signatures and stationery folders.
    std::string m_strLocalFolder;
    std::string m_strRoamingFolder;
    std::string m_strFormsFolder;
    std::string m_strSignaturesFolder;
    std::string m_strStationeryFolder;
    std::string m_strOptionsKey;
    std::string m_strCategoriesKey;
    std::string m_strAccountsKey;
    int m_nOfficeVersion = 0;
    // By file kind, 5 to 9.
    std::array<std::vector<OutlookFile>, 5> m_Files;
    CSourceTree m_Tree;
};
