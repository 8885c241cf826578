#pragma once

#include "DataApplicationObject.h"
#include "SourceTree.h"
#include "StoredFilesSource.h"

#include <memory>
#include <string>
#include <vector>

class CCheckTreeModel;

// The settings of known applications: the built-in table, the rows present on this
// system in a tree of their own, and for each checked one every regular file of its
// folder as "APP\" + short name + "\Files\" + the path below the folder. The entries
// of all selected applications go into "Applications.tdat". The tree's choice is
// kept as "Applications.xsel" in the job's folder, keyed by display name.
//
// Profile folders can be large and in use: files are read once, by the backup run,
// which reports those that change size while being read. Links are not followed and
// sockets, FIFOs and devices (a running browser keeps some) are passed over.
//
// A restore puts each stored file back below the folder of its application on this
// system, found by short name; an application with no folder here is reported.
class CApplicationsData : public CStoredFilesSource
{
public:
    static constexpr const char* kCatalogueName = "Applications.tdat";
    static constexpr const char* kSelectionName = "Applications.xsel";

    CApplicationsData();
    ~CApplicationsData() override;

    // Builds the table anew and detects every row; 1.
    int BuildTable();
    // 1 when the application is present (and marks it so), else 0.
    static int Detect(CDataApplicationObject& application) { return application.Detect(); }
    const std::vector<std::unique_ptr<CDataApplicationObject>>& GetTable() const { return m_Table; }

    void Reset() override;
    bool IsPresent() const override;

    // The tree shown to the user (not owned); null gives the source a tree of its own.
    void SetTree(CCheckTreeModel* tree);
    CCheckTreeModel& GetTree() { return m_Tree.Get(); }
    // Fills the tree: a top item (kind 14) and one item per present row (kind 23,
    // the tag's value is the application), the saved choice applied. Restore mode:
    // one item per application of the backup. 0.
    int FillTree();
    using CDataSource::FillTree;

    void SaveSelection() override;
    // Collects every checked application's files; 0 with the catalogue's name, 7 or 12.
    int Collect(std::string& catalogueName) override;
    // Appends the item lists of the applications collected last; 1.
    int SelectedItems(CAutoObArray<CAddInfo>& items);
    int LoadForRestore(const CatalogueExtract& extract) override;
    int PlanRestore() override;

private:
    int CollectApplication(CDataApplicationObject& application);
    CDataApplicationObject* FindByShortName(const std::string& name) const;
    CDataApplicationObject* ApplicationOf(TvTreeItem item) const;
    // The short name of a stored entry "APP\<short name>\Files\..."; empty when the
    // name has no such form.
    static std::string ShortNameOf(const std::string& entryName);

    std::vector<std::unique_ptr<CDataApplicationObject>> m_Table;
    std::vector<CDataApplicationObject*> m_Selected;
    CSourceTree m_Tree;
};
