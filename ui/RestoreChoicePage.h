#pragma once

#include "TvPageDlg.h"
#include "TvTreeItem.h"

#include <cstdint>
#include <map>

class CItemsTreeWnd;
class CTvPropertiesPages;
class QLabel;
class QPushButton;
struct CWizardContext;

// What to restore (152): the restore tree of the open backup beside a frame with the
// detail page of the selected item's kind. Ticking an item ticks what it holds; an
// Outlook Express identity can only be ticked once a target identity was chosen for
// it. Next leads through the My Files page when the backup holds My Files.
class CRestoreChoicePage : public CTvPageDlg
{
    Q_OBJECT
public:
    static constexpr unsigned kDialogId = 152;
    static constexpr unsigned kIntroId = 240;

    explicit CRestoreChoicePage(CWizardContext& context);

    void OnSetActive() override;

    // Empties the tree before the catalogue its items point into goes.
    void Clear();
    // Fills the tree from the engine's catalogue of the backup just opened.
    void Build();
    bool HoldsMyFiles() const { return m_bMyFiles; }

    CItemsTreeWnd* GetTree() const { return m_tree; }
    QPushButton* GetMyFilesButton() const { return m_myFiles; }
    unsigned GetDetailPageId() const;

private:
    void ShowDetail(std::uint32_t kind);
    unsigned DetailPageOf(std::uint32_t kind);
    void OnChecked(TvTreeItem item);
    bool RefusesIdentity(TvTreeItem item);
    void CountChecked();

    CWizardContext& m_context;
    CItemsTreeWnd* m_tree;
    CTvPropertiesPages* m_details;
    QLabel* m_count;
    QPushButton* m_myFiles;
    std::map<unsigned, int> m_detailIndex;
    bool m_bMyFiles = false;
};
