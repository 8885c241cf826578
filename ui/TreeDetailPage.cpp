#include "TreeDetailPage.h"

#include "CheckedTreeWnd.h"
#include "DetailPage.h"
#include "ItemTag.h"
#include "ItemsTreeWnd.h"
#include "PageLayout.h"
#include "TvPropertiesPages.h"

#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QVBoxLayout>

CTreeDetailPage::CTreeDetailPage(unsigned dialogId, CWizardContext& context, const Texts& texts)
    : CTvPageDlg(dialogId), m_context(context)
{
    m_tree = new CCheckedTreeWnd([this](TvTreeItem item) { OnChecked(item); }, this);
    m_tree->Intilize();
    m_tree->setHeaderHidden(true);
    m_details = new CTvPropertiesPages(this);
    m_details->Create(this, QRect(0, 0, 400, 300), 0, 1000 + static_cast<int>(dialogId));
    m_details->SetControlVisible(false);
    m_count = pagelayout::Plain(QString(), this);
    m_myFiles = new QPushButton(QStringLiteral("My &Files..."), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pagelayout::Title(texts.title, this));
    auto* row = new QHBoxLayout;
    row->addWidget(m_tree, 2);
    row->addWidget(m_details, 3);
    layout->addLayout(row, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_count, 1);
    bottom->addWidget(m_myFiles);
    layout->addLayout(bottom);
    AddDetailPage(kIntroId, texts.introTitle, texts.introText);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        const TvTreeItem item = m_tree->GetSelectedItem();
        if (const auto* tag =
                reinterpret_cast<const ItemTag*>(m_tree->GetModel().GetItemData(item)))
            ShowDetail(*tag);
    });
}

unsigned CTreeDetailPage::GetDetailPageId() const
{
    return m_details->GetCurrentPageDlg();
}

int CTreeDetailPage::AddDetailPage(unsigned id, const QString& title, const QString& text,
                                   CCheckTreeModel* list)
{
    return AddDetailPage(id, 0, [&] { return new CDetailPage(id, title, text, list); });
}

int CTreeDetailPage::AddDetailPage(unsigned id, std::size_t slot,
                                   const std::function<CDetailPage*()>& make)
{
    const auto found = m_detailPages.find({id, slot});
    if (found != m_detailPages.end())
        return found->second.index;
    CDetailPage* page = make();
    const int index = m_details->InsertPage(id, page, CTvPropertiesPages::kHideStrip);
    m_detailPages[{id, slot}] = {page, index};
    return index;
}

CDetailPage* CTreeDetailPage::GetDetailPage() const
{
    return static_cast<CDetailPage*>(m_details->GetPageHandleWnd(m_details->GetCurrentIndex()));
}

CDetailPage* CTreeDetailPage::FindDetailPage(unsigned id, std::size_t slot) const
{
    const auto found = m_detailPages.find({id, slot});
    return found == m_detailPages.end() ? nullptr : found->second.page;
}

void CTreeDetailPage::ReleaseLists(unsigned id)
{
    for (auto& [key, detail] : m_detailPages)
        if (key.first == id)
            detail.page->SetList(nullptr);
}

void CTreeDetailPage::ShowIntro()
{
    m_details->SetPage(m_detailPages.at({kIntroId, 0}).index);
}

void CTreeDetailPage::ShowDetail(const ItemTag& tag)
{
    if (const int index = DetailPageOf(tag); index >= 0)
        m_details->SetPage(index);
}

void CTreeDetailPage::OnChecked(TvTreeItem item)
{
    m_tree->GetModel().CheckItemChildern(item);
    CountChecked();
}

void CTreeDetailPage::CountChecked()
{
    const CCheckTreeModel& tree = m_tree->GetModel();
    int checked = 0;
    for (TvTreeItem item = tree.GetRootItem(); item; item = tree.GetNextItemEx(item))
        checked += tree.IsItemChecked(item) ? 1 : 0;
    m_count->setText(QStringLiteral("%1 item(s) ticked").arg(checked));
}
