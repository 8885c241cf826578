#pragma once

#include "SourceTree.h"
#include "StoredFilesSource.h"

#include <memory>
#include <string>

class CCheckTreeModel;

// The fonts the user installed ($XDG_DATA_HOME/fonts), chosen one by one in a flat
// list: the top-level regular font files, not hidden ones nor fontconfig's own cache
// files. Each checked font is stored as "Fonts\" + its file name in "Fonts.tdat". The
// choice is kept as "Fonts.xsel" in the job's folder, keyed by file name, so an
// unattended run of the job takes the same fonts. A restore copies the checked
// stored fonts into the fonts folder and keeps fonts already there; fontconfig finds
// them by itself.
class CFontsData : public CStoredFilesSource
{
public:
    static constexpr const char* kCatalogueName = "Fonts.tdat";
    static constexpr const char* kArchiveFolder = "Fonts";
    static constexpr const char* kSelectionName = "Fonts.xsel";

    CFontsData();
    ~CFontsData() override;

    // Clears the tags and the list and takes the fonts folder anew.
    void Reset() override;
    bool IsPresent() const override;
    const std::string& GetFolder() const { return m_strFolder; }

    // The list shown to the user (not owned); null gives the source a list of its own.
    void SetList(CCheckTreeModel* list);
    CCheckTreeModel& GetList() { return m_List.Get(); }
    // Fills the list: backup mode the fonts of the folder with the saved choice
    // applied; restore mode the stored fonts (each item's data is its stored entry).
    // 14 when there is no fonts folder, else 0.
    int Show();

    void SaveSelection() override;
    int Collect(std::string& catalogueName) override;
    int LoadForRestore(const CatalogueExtract& extract) override;
    int PlanRestore() override;

private:
    void ShowFolder();
    void ShowStored();

    std::string m_strFolder;
    CSourceTree m_List;
};
