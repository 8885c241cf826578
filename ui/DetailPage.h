#pragma once

#include "TvPageDlg.h"

#include <memory>

class CCheckTreeItemModel;
class CCheckTreeModel;
class QTreeView;

// A detail page of the what-to-back-up page: what the selected item of the backup
// tree stands for and, for sources with a list of their own (fonts, applications),
// that list as the source holds it.
class CDetailPage : public CTvPageDlg
{
    Q_OBJECT
public:
    CDetailPage(unsigned dialogId, const QString& title, const QString& text,
                CCheckTreeModel* list = nullptr);
    ~CDetailPage() override;

private:
    std::unique_ptr<CCheckTreeItemModel> m_model;
    QTreeView* m_view = nullptr;
};
