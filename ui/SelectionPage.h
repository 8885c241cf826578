#pragma once

#include "TvPageDlg.h"
#include "TvTreeItem.h"

#include <cstdint>
#include <map>
#include <set>

class CItemsTreeWnd;
class CTvPropertiesPages;
class QLabel;
class QPushButton;
struct CWizardContext;

// What to back up (132): the backup tree of the data sources beside a frame of detail
// pages, one per kind of the selected item, made when first needed and kept. The tree
// is built the first time the page shows, and again after another job was chosen.
class CSelectionPage : public CTvPageDlg
{
    Q_OBJECT
public:
    static constexpr unsigned kDialogId = 132;
    static constexpr unsigned kIntroId = 240;

    explicit CSelectionPage(CWizardContext& context);

    void OnSetActive() override;

    CItemsTreeWnd* GetTree() const { return m_tree; }
    QPushButton* GetMyFilesButton() const { return m_myFiles; }
    unsigned GetDetailPageId() const;
    // Builds the backup tree (and has the My Files page load its selection).
    void BuildTree();

signals:
    // The My Files tree must be (re)loaded: the first showing, or another job.
    void myFilesNeeded();

private:
    void ShowDetail(std::uint32_t kind);
    unsigned DetailPageOf(std::uint32_t kind);
    void OnChecked(TvTreeItem item);
    void CountChecked();

    CWizardContext& m_context;
    CItemsTreeWnd* m_tree;
    CTvPropertiesPages* m_details;
    QLabel* m_count;
    QPushButton* m_myFiles;
    std::map<unsigned, int> m_detailIndex;
    std::set<std::uint32_t> m_filledKinds; // sources whose lists are filled for this tree
};
