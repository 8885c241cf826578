#pragma once

#include "TvPageDlg.h"
#include "TvTreeItem.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <utility>

class CCheckTreeModel;
class CDetailPage;
struct ItemTag;
class CItemsTreeWnd;
class CTvPropertiesPages;
class QLabel;
class QPushButton;
struct CWizardContext;

// A page with a tree of data sources beside a frame of detail pages, one per kind of
// the selected item (one per identity for Outlook Express identities), made when
// first needed and kept; an introduction (240) shows
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
    CDetailPage* GetDetailPage() const;

protected:
    // The frame index of the detail page of a tree item (AddDetailPage); -1 for an
    // item that keeps the page shown.
    virtual int DetailPageOf(const ItemTag& tag) = 0;
    // Ticking pushes the state down to the item's descendants and counts again.
    virtual void OnChecked(TvTreeItem item);
    // The page `id`, made the first time; its index in the frame.
    int AddDetailPage(unsigned id, const QString& title, const QString& text,
                      CCheckTreeModel* list = nullptr);
    // The page `id` of `slot` (pages of one id, one per identity), made by `make` the
    // first time; its index in the frame.
    int AddDetailPage(unsigned id, std::size_t slot, const std::function<CDetailPage*()>& make);
    CDetailPage* FindDetailPage(unsigned id, std::size_t slot) const;
    // Every page `id` lets go of its list: the sources that hold them are about to go.
    void ReleaseLists(unsigned id);
    void ShowIntro();
    void CountChecked();

    CWizardContext& m_context;
    CItemsTreeWnd* m_tree;
    QPushButton* m_myFiles;

private:
    void ShowDetail(const ItemTag& tag);

    struct Detail
    {
        CDetailPage* page;
        int index;
    };

    CTvPropertiesPages* m_details;
    QLabel* m_count;
    std::map<std::pair<unsigned, std::size_t>, Detail> m_detailPages;
};
