// The backup tree: what the user may choose besides My Files.
#include "BackupManger.h"

#include "CheckTreeModel.h"
#include "ItemKinds.h"
#include "ProjectData.h"
#include "ResourceLibrary.h"
#include "TextInserts.h"

namespace {

constexpr unsigned kTextRoot = 104;
constexpr unsigned kTextOutlook = 103;
constexpr unsigned kTextOutlookExpress = 113;
constexpr unsigned kTextIdentityCount = 114;
constexpr unsigned kTextFavorites = 121;
constexpr unsigned kTextAddressBook = 123;
constexpr unsigned kTextFonts = 170;
constexpr unsigned kTextApplications = 126;
constexpr const char* kMainTreeFile = "MainTree.xsel";

} // namespace

int CBackupManger::BuildBackupTree(CCheckTreeModel* tree)
{
    m_pBackupTree = tree;
    if (!tree)
        return 0;
    tree->DeleteAllItems();
    const TvTreeItem root =
        tree->InsertItem(LoadResString(kTextRoot), {}, kTvItemLast, tvcheck::kUnavailable);
    tree->SetItemData(root, reinterpret_cast<std::uintptr_t>(NewTag(0, itemkind::kRoot)));
    AddSourceNode(*tree, root, itemkind::kOutlook, kTextOutlook);
    AddIdentityNodes(*tree, root);
    AddSourceNode(*tree, root, itemkind::kFavorites, kTextFavorites);
    AddSourceNode(*tree, root, itemkind::kAddressBook, kTextAddressBook);
    AddSourceNode(*tree, root, itemkind::kFonts, kTextFonts);
    AddSourceNode(*tree, root, itemkind::kApplications, kTextApplications);
    // A missing file leaves every node unchecked; a damaged one is reported by the
    // model and leaves them so too.
    const std::string treeFile = g_ProjectData.GetPathInJobFolder(kMainTreeFile);
    if (!treeFile.empty())
        tree->LoadCheckStateFromFile(treeFile);
    return 0;
}

void CBackupManger::AddSourceNode(CCheckTreeModel& tree, TvTreeItem root, std::uint32_t kind,
                                  unsigned text)
{
    const CBackupMangerSource* source = GetSource(kind);
    if (!source || !source->IsPresent())
        return;
    const std::string name = LoadResString(text);
    const TvTreeItem item = tree.InsertItem(name, root);
    tree.SetItemData(item, reinterpret_cast<std::uintptr_t>(NewTag(0, kind)));
    tree.SetCheckStringState(item, name);
}

void CBackupManger::AddIdentityNodes(CCheckTreeModel& tree, TvTreeItem root)
{
    const CBackupMangerSource* source = GetSource(itemkind::kOEGroup);
    if (!source || !source->IsPresent())
        return;
    const std::vector<std::string> names = source->GetIdentityNames();
    if (names.empty())
        return;
    const std::string text =
        LoadResString(kTextOutlookExpress) + " " +
        FillInserts(LoadResString(kTextIdentityCount), {std::to_string(names.size())});
    const TvTreeItem group = tree.InsertItem(text, root, kTvItemLast, tvcheck::kUnavailable);
    tree.SetItemData(group, reinterpret_cast<std::uintptr_t>(NewTag(0, itemkind::kOEGroup)));
    for (std::size_t i = 0; i < names.size(); ++i) {
        const TvTreeItem item = tree.InsertItem(names[i], group);
        tree.SetItemData(item, reinterpret_cast<std::uintptr_t>(NewTag(i, itemkind::kOEIdentity)));
        tree.SetCheckStringState(item, names[i]);
    }
}
