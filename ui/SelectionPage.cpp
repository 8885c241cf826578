#include "SelectionPage.h"

#include "ApplicationsData.h"
#include "BackupManger.h"
#include "DetailPage.h"
#include "FontsData.h"
#include "ItemKinds.h"
#include "ItemTag.h"
#include "ItemsTreeWnd.h"
#include "OEData.h"
#include "OEIdentities.h"
#include "OutlookData.h"
#include "PageIds.h"
#include "TvPropertiesPages.h"
#include "WizardContext.h"

#include <QApplication>
#include <QPushButton>

namespace {

constexpr unsigned kIdentityPage = 134;

} // namespace

CSelectionPage::CSelectionPage(CWizardContext& context)
    : CTreeDetailPage(kDialogId, context,
                      {QStringLiteral("What to back up"), QStringLiteral("Your personal data"),
                       QStringLiteral("Tick what you want to back up. Your own files and "
                                      "folders are chosen with My Files.")})
{
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
    ReleaseIdentities();
    emit resetting();
    m_context.engine.Reset();
    m_context.engine.SetMode(0);
    m_context.engine.BuildBackupTree(&tree);
    m_filled.clear();
    // Every checked source shows its page once, so that it fills its own list.
    for (TvTreeItem item = tree.GetRootItem(); item; item = tree.GetNextItemEx(item))
        if (const auto* tag = reinterpret_cast<const ItemTag*>(tree.GetItemData(item));
            tag && tree.IsItemCheckedOrSubChecked(item))
            DetailPageOf(*tag);
    m_tree->ExpandBranch(tree.GetRootItem());
    ShowIntro();
    m_context.treesStale = false;
    emit myFilesNeeded();
    QApplication::restoreOverrideCursor();
}

void CSelectionPage::ReleaseIdentities()
{
    ReleaseLists(kIdentityPage);
}

// The page of a kind, made the first time; -1 for a kind that keeps the page shown. A
// source with a list of its own fills it once per built tree, so that what the user
// ticks in it stays while the selection moves around.
int CSelectionPage::DetailPageOf(const ItemTag& tag)
{
    const InstalledSources& sources = m_context.sources;
    const std::uint32_t kind = tag.kind;
    const bool identity = kind == itemkind::kOEIdentity;
    const bool fill = m_filled.insert({kind, identity ? tag.value : 0}).second;
    switch (kind) {
    case itemkind::kRoot:
        return AddDetailPage(kIntroId, {}, {});
    case itemkind::kOEIdentity:
        return IdentityPageOf(tag.value, fill);
    case itemkind::kOutlook:
        if (fill)
            sources.outlook->FillTree();
        return AddDetailPage(133, "Microsoft Outlook", "Outlook's folders and settings:",
                             &sources.outlook->GetTree());
    case itemkind::kFavorites:
        return AddDetailPage(148, "Internet Favorites", "Every favorite is backed up.");
    case itemkind::kAddressBook:
        return AddDetailPage(149, "Address Book", "The address book file is backed up.");
    case itemkind::kApplications:
        if (fill)
            sources.applications->FillTree();
        return AddDetailPage(150, "Applications", "The settings of these programs are backed up:",
                             &sources.applications->GetTree());
    case itemkind::kFonts:
        if (fill)
            sources.fonts->Show();
        return AddDetailPage(182, "Fonts", "Your own fonts:", &sources.fonts->GetList());
    default:
        return -1;
    }
}

// One page per identity, by its position in the identity list, showing the tree of
// the identity's data.
int CSelectionPage::IdentityPageOf(std::size_t position, bool fill)
{
    COEData* data = m_context.sources.identities
                        ? m_context.sources.identities->GetIdentityData(position)
                        : nullptr;
    if (!data)
        return -1;
    if (fill)
        data->FillTree();
    const int index = AddDetailPage(kIdentityPage, position, [this, data] {
        return new CDetailPage(kIdentityPage, QString::fromStdString(data->GetIdentityName()),
                               QStringLiteral("The identity's mail folders and settings:"));
    });
    FindDetailPage(kIdentityPage, position)->SetList(&data->GetTree());
    return index;
}
