#pragma once

#include "TvPageDlg.h"
#include "TvTreeItem.h"

#include <QString>

#include <cstdint>
#include <map>

class CCheckTreeModel;
class CItemsTreeWnd;
class CTvPropertiesPages;
class QLabel;
class QPushButton;
struct CWizardContext;

// A page with a tree of data sources beside a frame of detail pages, one per kind of
// the selected item, made when first needed and kept; an introduction (240) shows
// until an item is chosen. Below: how many items are ticked and the My Files button.
// The backup's selection page and the restore's choice page are such pages.
class CTreeDetailPage : public CTvPageDlg
{
    Q_OBJECT
public:
    static constexpr unsigned kIntroId = 240;

    struct Texts
    {
        QString title;
        QString introTitle;
        QString introText;
    };

    CTreeDetailPage(unsigned dialogId, CWizardContext& context, const Texts& texts);

    CItemsTreeWnd* GetTree() const { return m_tree; }
    QPushButton* GetMyFilesButton() const { return m_myFiles; }
    unsigned GetDetailPageId() const;

protected:
    // The detail page of a kind (AddDetailPage); 0 for a kind that keeps the page shown.
    virtual unsigned DetailPageOf(std::uint32_t kind) = 0;
    // Ticking pushes the state down to the item's descendants and counts again.
    virtual void OnChecked(TvTreeItem item);
    // The page `id`, made the first time; returns `id`.
    unsigned AddDetailPage(unsigned id, const QString& title, const QString& text,
                           CCheckTreeModel* list = nullptr);
    void ShowIntro();
    void CountChecked();

    CWizardContext& m_context;
    CItemsTreeWnd* m_tree;
    QPushButton* m_myFiles;

private:
    void ShowDetail(std::uint32_t kind);

    CTvPropertiesPages* m_details;
    QLabel* m_count;
    std::map<unsigned, int> m_detailIndex;
};
