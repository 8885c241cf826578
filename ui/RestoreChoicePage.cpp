#include "RestoreChoicePage.h"

#include "ApplicationsData.h"
#include "BackupManger.h"
#include "CheckStates.h"
#include "FontsData.h"
#include "IdentityTargetPage.h"
#include "ItemKinds.h"
#include "ItemTag.h"
#include "ItemsTreeWnd.h"
#include "OEData.h"
#include "OEIdentities.h"
#include "OETargetChooser.h"
#include "PageIds.h"
#include "Prompt.h"
#include "TvPropertiesPages.h"
#include "WizardContext.h"

#include <QPushButton>

#include <algorithm>

namespace {

constexpr unsigned kTextNoTargetIdentity = 176;

} // namespace

CRestoreChoicePage::CRestoreChoicePage(CWizardContext& context)
    : CTreeDetailPage(kDialogId, context,
                      {QStringLiteral("What to restore"), QStringLiteral("What the backup holds"),
                       QStringLiteral("Tick what you want to restore. Where your own files go "
                                      "back to is chosen with My Files.")})
{
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
    // The identities' trees go with the engine's identities.
    ReleaseLists(CIdentityTargetPage::kDialogId);
    m_tree->GetModel().DeleteAllItems();
    m_context.engine.BuildRestoreTree(nullptr);
    ShowIntro();
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
    ShowIntro();
}

int CRestoreChoicePage::DetailPageOf(const ItemTag& tag)
{
    const InstalledSources& sources = m_context.sources;
    switch (tag.kind) {
    case itemkind::kRoot:
    case itemkind::kOEGroup:
        return AddDetailPage(kIntroId, {}, {});
    case itemkind::kOEIdentity:
        return IdentityPageOf(*reinterpret_cast<const CBackupTreeItem*>(tag.value));
    case itemkind::kOutlook:
        return AddDetailPage(133, "Microsoft Outlook", "Outlook's folders and settings.");
    case itemkind::kFavorites:
        return AddDetailPage(148, "Internet Favorites", "Every favorite of the backup.");
    case itemkind::kAddressBook:
        return AddDetailPage(149, "Address Book", "The address book file of the backup.");
    case itemkind::kApplications:
        return AddDetailPage(150, "Applications", "The settings of these programs are restored:",
                             &sources.applications->GetTree());
    case itemkind::kFonts:
        return AddDetailPage(182, "Fonts", "The fonts of the backup:", &sources.fonts->GetList());
    default:
        return -1;
    }
}

COEData* CRestoreChoicePage::IdentityOf(const CBackupTreeItem& stored) const
{
    return dynamic_cast<COEData*>(m_context.engine.GetRestoreIdentity(stored.m_strCatalogueFile));
}

std::size_t CRestoreChoicePage::PositionOf(const CBackupTreeItem& stored) const
{
    const auto& list = m_context.engine.GetCatalogueList();
    return static_cast<std::size_t>(std::find(list.begin(), list.end(), &stored) - list.begin());
}

// One page per identity of the backup, by its position in the catalogue: the
// identity's own tree and the identity it goes into.
int CRestoreChoicePage::IdentityPageOf(const CBackupTreeItem& stored)
{
    const std::size_t slot = PositionOf(stored);
    const int index = AddDetailPage(CIdentityTargetPage::kDialogId, slot, [this, &stored, slot] {
        auto* page = new CIdentityTargetPage(QString::fromStdString(stored.m_strDisplayName));
        // The page is kept from backup to backup: its button works on the identity at
        // its position in the catalogue of the backup open now.
        connect(page, &CIdentityTargetPage::chooseTarget, this, [this, slot] {
            const auto& list = m_context.engine.GetCatalogueList();
            if (slot < list.GetSize() && list[slot]->m_dwKind == itemkind::kOEIdentity)
                ChooseTarget(*list[slot]);
        });
        return page;
    });
    auto* page =
        static_cast<CIdentityTargetPage*>(FindDetailPage(CIdentityTargetPage::kDialogId, slot));
    COEData* data = IdentityOf(stored);
    page->SetList(data ? &data->GetTree() : nullptr);
    page->GetChooseButton()->setEnabled(data && m_context.sources.identities);
    const std::string target = data ? data->GetTargetGuid() : std::string();
    page->ShowTarget(m_context.sources.identities && !target.empty()
                         ? QString::fromStdString(
                               COETargetChooser(*m_context.sources.identities, this).NameOf(target))
                         : QString());
    return index;
}

void CRestoreChoicePage::ChooseTarget(const CBackupTreeItem& stored)
{
    COEData* data = IdentityOf(stored);
    if (!data || !m_context.sources.identities)
        return;
    const std::string target = COETargetChooser(*m_context.sources.identities, this).Ask(*data);
    if (!target.empty())
        data->SetRestoreTarget(target, 0);
    IdentityPageOf(stored);
}

void CRestoreChoicePage::OnChecked(TvTreeItem item)
{
    if (RefusesIdentity(item)) {
        MessageBoxRes(kTextNoTargetIdentity, MB_OK | MB_ICONERROR);
        m_tree->CheckItem(item, tvcheck::kUncheck);
        return;
    }
    CTreeDetailPage::OnChecked(item);
}

// An identity restores into the target identity its source chose; without one it
// cannot be ticked. The identity's source is in the engine's identity map once its
// node was opened.
bool CRestoreChoicePage::RefusesIdentity(TvTreeItem item)
{
    const CCheckTreeModel& tree = m_tree->GetModel();
    const auto* tag = reinterpret_cast<const ItemTag*>(tree.GetItemData(item));
    if (!tag || tag->kind != itemkind::kOEIdentity ||
        !tvcheck::IsChecked(tree.GetItemCheckState(item)))
        return false;
    const auto* stored = reinterpret_cast<const CBackupTreeItem*>(tag->value);
    const CRestoreIdentity* identity =
        stored ? m_context.engine.GetRestoreIdentity(stored->m_strCatalogueFile) : nullptr;
    return !identity || identity->GetTargetGuid().empty();
}
