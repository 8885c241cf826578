#include "SelectionPage.h"

#include "ApplicationsData.h"
#include "BackupManger.h"
#include "CheckedTreeWnd.h"
#include "DetailPage.h"
#include "FontsData.h"
#include "ItemKinds.h"
#include "OutlookData.h"
#include "ItemTag.h"
#include "ItemsTreeWnd.h"
#include "PageIds.h"
#include "PageLayout.h"
#include "TvPropertiesPages.h"
#include "WizardContext.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QVBoxLayout>

CSelectionPage::CSelectionPage(CWizardContext& context) : CTvPageDlg(kDialogId), m_context(context)
{
    m_tree = new CCheckedTreeWnd([this](TvTreeItem item) { OnChecked(item); }, this);
    m_tree->Intilize();
    m_tree->setHeaderHidden(true);
    m_details = new CTvPropertiesPages(this);
    m_details->Create(this, QRect(0, 0, 400, 300), 0, 1001);
    m_details->SetControlVisible(false);
    m_count = pagelayout::Plain(QString(), this);
    m_myFiles = new QPushButton(QStringLiteral("My &Files..."), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pagelayout::Title(QStringLiteral("What to back up"), this));
    auto* row = new QHBoxLayout;
    row->addWidget(m_tree, 2);
    row->addWidget(m_details, 3);
    layout->addLayout(row, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_count, 1);
    bottom->addWidget(m_myFiles);
    layout->addLayout(bottom);
    m_detailIndex[kIntroId] = m_details->InsertPage(
        kIntroId,
        new CDetailPage(kIntroId, QStringLiteral("Your personal data"),
                        QStringLiteral("Tick what you want to back up. Your own files and "
                                       "folders are chosen with My Files.")),
        CTvPropertiesPages::kHideStrip);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        const TvTreeItem item = m_tree->GetSelectedItem();
        if (const auto* tag =
                reinterpret_cast<const ItemTag*>(m_tree->GetModel().GetItemData(item)))
            ShowDetail(tag->kind);
    });
    connect(m_myFiles, &QPushButton::clicked, this,
            [this] { pageid::PostGoTo(m_context.frame, pageid::kMyFiles); });
}

void CSelectionPage::OnSetActive()
{
    if (m_context.treesStale)
        BuildTree();
    CountChecked();
}

void CSelectionPage::BuildTree()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    CCheckTreeModel& tree = m_tree->GetModel();
    tree.DeleteAllItems();
    m_context.engine.Reset();
    m_context.engine.SetMode(0);
    m_context.engine.BuildBackupTree(&tree);
    m_filledKinds.clear();
    // Every checked source shows its page once, so that it fills its own list.
    for (TvTreeItem item = tree.GetRootItem(); item; item = tree.GetNextItemEx(item))
        if (const auto* tag = reinterpret_cast<const ItemTag*>(tree.GetItemData(item));
            tag && tree.IsItemCheckedOrSubChecked(item))
            DetailPageOf(tag->kind);
    m_tree->ExpandBranch(tree.GetRootItem());
    m_details->SetPage(m_detailIndex[kIntroId]);
    m_context.treesStale = false;
    emit myFilesNeeded();
    QApplication::restoreOverrideCursor();
}

unsigned CSelectionPage::GetDetailPageId() const
{
    return m_details->GetCurrentPageDlg();
}

// The page of a kind, made the first time; 0 for a kind that keeps the page shown. A
// source with a list of its own fills it once per built tree, so that what the user
// ticks in it stays while the selection moves around.
unsigned CSelectionPage::DetailPageOf(std::uint32_t kind)
{
    const InstalledSources& sources = m_context.sources;
    const bool fill = m_filledKinds.insert(kind).second;
    unsigned id = 0;
    QString title;
    QString text;
    CCheckTreeModel* list = nullptr;
    switch (kind) {
    case itemkind::kRoot:
        return kIntroId;
    case itemkind::kOutlook:
        id = 133, title = "Microsoft Outlook", text = "Outlook's folders and settings:";
        if (fill)
            sources.outlook->FillTree();
        list = &sources.outlook->GetTree();
        break;
    case itemkind::kFavorites:
        id = 148, title = "Internet Favorites", text = "Every favorite is backed up.";
        break;
    case itemkind::kAddressBook:
        id = 149, title = "Address Book", text = "The address book file is backed up.";
        break;
    case itemkind::kApplications:
        id = 150, title = "Applications", text = "The settings of these programs are backed up:";
        if (fill)
            sources.applications->FillTree();
        list = &sources.applications->GetTree();
        break;
    case itemkind::kFonts:
        id = 182, title = "Fonts", text = "Your own fonts:";
        if (fill)
            sources.fonts->Show();
        list = &sources.fonts->GetList();
        break;
    default:
        return 0;
    }
    if (!m_detailIndex.count(id))
        m_detailIndex[id] = m_details->InsertPage(id, new CDetailPage(id, title, text, list),
                                                  CTvPropertiesPages::kHideStrip);
    return id;
}

void CSelectionPage::ShowDetail(std::uint32_t kind)
{
    if (const unsigned id = DetailPageOf(kind))
        m_details->SetPage(m_detailIndex[id]);
}

void CSelectionPage::OnChecked(TvTreeItem item)
{
    m_tree->GetModel().CheckItemChildern(item);
    CountChecked();
}

void CSelectionPage::CountChecked()
{
    const CCheckTreeModel& tree = m_tree->GetModel();
    int checked = 0;
    for (TvTreeItem item = tree.GetRootItem(); item; item = tree.GetNextItemEx(item))
        checked += tree.IsItemChecked(item) ? 1 : 0;
    m_count->setText(QStringLiteral("%1 item(s) ticked").arg(checked));
}
