#include "DetailPage.h"

#include "CheckTreeItemModel.h"
#include "PageLayout.h"

#include <QHeaderView>
#include <QTreeView>
#include <QVBoxLayout>

CDetailPage::CDetailPage(unsigned dialogId, const QString& title, const QString& text,
                         CCheckTreeModel* list)
    : CTvPageDlg(dialogId)
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pagelayout::Title(title, this));
    layout->addWidget(pagelayout::Plain(text, this));
    if (list) {
        m_model = std::make_unique<CCheckTreeItemModel>(*list);
        m_view = new QTreeView(this);
        m_view->header()->hide();
        m_view->setModel(m_model.get());
        m_view->expandToDepth(1);
        layout->addWidget(m_view, 1);
    } else {
        layout->addStretch(1);
    }
}

CDetailPage::~CDetailPage()
{
    // The view goes before the model it shows.
    delete m_view;
}
