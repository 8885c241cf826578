#include "RestoreChoicePage.h"

#include "ApplicationsData.h"
#include "BackupManger.h"
#include "CheckStates.h"
#include "CheckedTreeWnd.h"
#include "DetailPage.h"
#include "FontsData.h"
#include "ItemKinds.h"
#include "ItemTag.h"
#include "ItemsTreeWnd.h"
#include "PageIds.h"
#include "PageLayout.h"
#include "Prompt.h"
#include "TvPropertiesPages.h"
#include "WizardContext.h"

#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr unsigned kTextNoTargetIdentity = 176;

} // namespace

CRestoreChoicePage::CRestoreChoicePage(CWizardContext& context)
    : CTvPageDlg(kDialogId), m_context(context)
{
    m_tree = new CCheckedTreeWnd([this](TvTreeItem item) { OnChecked(item); }, this);
    m_tree->Intilize();
    m_tree->setHeaderHidden(true);
    m_details = new CTvPropertiesPages(this);
    m_details->Create(this, QRect(0, 0, 400, 300), 0, 1002);
    m_details->SetControlVisible(false);
    m_count = pagelayout::Plain(QString(), this);
    m_myFiles = new QPushButton(QStringLiteral("My &Files..."), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pagelayout::Title(QStringLiteral("What to restore"), this));
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
        new CDetailPage(kIntroId, QStringLiteral("What the backup holds"),
                        QStringLiteral("Tick what you want to restore. Where your own files "
                                       "go back to is chosen with My Files.")),
        CTvPropertiesPages::kHideStrip);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (const auto* tag = reinterpret_cast<const ItemTag*>(
                m_tree->GetModel().GetItemData(m_tree->GetSelectedItem())))
            ShowDetail(tag->kind);
    });
    connect(m_myFiles, &QPushButton::clicked, this,
            [this] { pageid::PostGoTo(m_context.frame, pageid::kRestoreLocation); });
}

void CRestoreChoicePage::OnSetActive()
{
    // The backup pages took the sources over since the backup was opened: it is
    // opened again first.
    if (!m_context.treesStale) {
        pageid::PostGoTo(m_context.frame, pageid::kRestoreFile);
        return;
    }
    m_context.frame->SetBtnPrivousPage(pageid::kRestoreFile);
    // A backup of My Files only restores with Next, Next: its files' place comes first.
    m_context.frame->SetBtnNextPage(m_bMyFiles ? pageid::kRestoreLocation : pageid::kRestoreRun);
    m_myFiles->setEnabled(m_bMyFiles);
    CountChecked();
}

void CRestoreChoicePage::Clear()
{
    m_tree->GetModel().DeleteAllItems();
    m_context.engine.BuildRestoreTree(nullptr);
    m_details->SetPage(m_detailIndex[kIntroId]);
    m_bMyFiles = false;
}

void CRestoreChoicePage::Build()
{
    CCheckTreeModel& tree = m_tree->GetModel();
    m_context.engine.BuildRestoreTree(&tree);
    m_bMyFiles = false;
    for (const CBackupTreeItem* item : m_context.engine.GetCatalogueList())
        m_bMyFiles = m_bMyFiles || item->m_dwKind == itemkind::kMyFiles;
    m_tree->ExpandBranch(tree.GetRootItem());
    m_details->SetPage(m_detailIndex[kIntroId]);
}

unsigned CRestoreChoicePage::GetDetailPageId() const
{
    return m_details->GetCurrentPageDlg();
}

// The page of a kind, made the first time; 0 for a kind that keeps the page shown.
unsigned CRestoreChoicePage::DetailPageOf(std::uint32_t kind)
{
    const InstalledSources& sources = m_context.sources;
    unsigned id = 0;
    QString title;
    QString text;
    CCheckTreeModel* list = nullptr;
    switch (kind) {
    case itemkind::kRoot:
    case itemkind::kOEGroup:
        return kIntroId;
    case itemkind::kOEIdentity:
        id = 183, title = "Outlook Express identity",
        text = "The identity's mail, accounts and settings go into the identity chosen for it.";
        break;
    case itemkind::kOutlook:
        id = 133, title = "Microsoft Outlook", text = "Outlook's folders and settings.";
        break;
    case itemkind::kFavorites:
        id = 148, title = "Internet Favorites", text = "Every favorite of the backup.";
        break;
    case itemkind::kAddressBook:
        id = 149, title = "Address Book", text = "The address book file of the backup.";
        break;
    case itemkind::kApplications:
        id = 150, title = "Applications", text = "The settings of these programs are restored:";
        list = &sources.applications->GetTree();
        break;
    case itemkind::kFonts:
        id = 182, title = "Fonts", text = "The fonts of the backup:";
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

void CRestoreChoicePage::ShowDetail(std::uint32_t kind)
{
    if (const unsigned id = DetailPageOf(kind))
        m_details->SetPage(m_detailIndex[id]);
}

void CRestoreChoicePage::OnChecked(TvTreeItem item)
{
    if (RefusesIdentity(item)) {
        MessageBoxRes(kTextNoTargetIdentity, MB_OK | MB_ICONERROR);
        m_tree->CheckItem(item, tvcheck::kUncheck);
        return;
    }
    m_tree->GetModel().CheckItemChildern(item);
    CountChecked();
}

// An identity restores into the target identity its source chose; without one it
// cannot be ticked. The identity's source is in the engine's identity map once its
// node was opened.
bool CRestoreChoicePage::RefusesIdentity(TvTreeItem item)
{
    const CCheckTreeModel& tree = m_tree->GetModel();
    const auto* tag = reinterpret_cast<const ItemTag*>(tree.GetItemData(item));
    if (!tag || tag->kind != itemkind::kOEIdentity || !tvcheck::IsChecked(tree.GetItemCheckState(item)))
        return false;
    const auto* stored = reinterpret_cast<const CBackupTreeItem*>(tag->value);
    const CRestoreIdentity* identity =
        stored ? m_context.engine.GetRestoreIdentity(stored->m_strCatalogueFile) : nullptr;
    return !identity || identity->GetTargetGuid().empty();
}

void CRestoreChoicePage::CountChecked()
{
    const CCheckTreeModel& tree = m_tree->GetModel();
    int checked = 0;
    for (TvTreeItem item = tree.GetRootItem(); item; item = tree.GetNextItemEx(item))
        checked += tree.IsItemChecked(item) ? 1 : 0;
    m_count->setText(QStringLiteral("%1 item(s) ticked").arg(checked));
}
