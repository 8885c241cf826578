#pragma once

#include "TvPageDlg.h"

#include <memory>

class CCheckTreeItemModel;
class CCheckTreeModel;
class CCheckableListModel;
class QTreeView;
class QVBoxLayout;

// A detail page of the what-to-back-up and what-to-restore pages: what the selected
// item of the tree stands for and, for sources with a list of their own (fonts,
// applications, an identity's folders and settings), that list as the source holds it.
class CDetailPage : public CTvPageDlg
{
    Q_OBJECT
public:
    CDetailPage(unsigned dialogId, const QString& title, const QString& text,
                CCheckTreeModel* list = nullptr);
    ~CDetailPage() override;

    // Shows `list` instead of the one before; null shows none. A list that belongs to
    // a source about to go must be let go of first.
    void SetList(CCheckTreeModel* list);
    QTreeView* GetListView() const { return m_view; }

protected:
    QVBoxLayout* m_layout;

private:
    std::unique_ptr<CCheckTreeItemModel> m_model;
    std::unique_ptr<CCheckableListModel> m_checkable;
    QTreeView* m_view;
};
