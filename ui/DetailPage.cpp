#include "DetailPage.h"

#include "CheckTreeItemModel.h"
#include "CheckableListModel.h"
#include "PageLayout.h"

#include <QHeaderView>
#include <QTreeView>
#include <QVBoxLayout>

CDetailPage::CDetailPage(unsigned dialogId, const QString& title, const QString& text,
                         CCheckTreeModel* list)
    : CTvPageDlg(dialogId)
{
    m_layout = new QVBoxLayout(this);
    m_layout->addWidget(pagelayout::Title(title, this));
    m_layout->addWidget(pagelayout::Plain(text, this));
    m_view = new QTreeView(this);
    m_view->header()->hide();
    m_layout->addWidget(m_view, 1);
    // Without a list the texts stay at the top.
    m_layout->addStretch(0);
    SetList(list);
}

CDetailPage::~CDetailPage()
{
    // The view goes before the model it shows.
    delete m_view;
}

void CDetailPage::SetList(CCheckTreeModel* list)
{
    // The view lets go of the old model before it is freed.
    m_view->setModel(nullptr);
    m_checkable.reset();
    m_model.reset();
    m_view->setVisible(list != nullptr);
    if (!list)
        return;
    m_model = std::make_unique<CCheckTreeItemModel>(*list);
    m_checkable = std::make_unique<CCheckableListModel>(*list);
    m_checkable->setSourceModel(m_model.get());
    m_view->setModel(m_checkable.get());
    m_view->expandToDepth(1);
}
