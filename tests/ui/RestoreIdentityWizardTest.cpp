// Outlook Express identities through the window: an identity backed up through the
// backup pages comes back through the restore pages into a new identity on a
// system that does not have it, mail files and registry values all there; and an
// identity that has no identity to go into cannot be ticked until one is chosen.
#include "RestoreWizardFixture.h"

#include "DetailPage.h"
#include "IdentityListDlg.h"
#include "IdentityTargetPage.h"
#include "ItemKinds.h"
#include "ItemTag.h"
#include "OEData.h"
#include "OEIdentities.h"
#include "OEIdentitySample.h"
#include "OEWizardDlg.h"
#include "Registry.h"
#include "RegistryStore.h"

#include <QListWidget>
#include <QTreeView>

using namespace wizardtest;

namespace {

const std::string kAlice = "{A11CE000-0000-4000-8000-000000000001}";

std::string Express(const std::string& guid)
{
    return "Identities\\" + guid + "\\Software\\Microsoft\\Outlook Express\\5.0";
}

void SetText(const std::string& key, const std::string& name, const std::string& text)
{
    CRegistry registry(HKEY_CURRENT_USER);
    ASSERT_TRUE(registry.CreateKey(HKEY_CURRENT_USER, key) &&
                registry.Open(HKEY_CURRENT_USER, key, KEY_ALL_ACCESS) && registry.Write(name, text))
        << key;
}

std::string GetText(const std::string& key, const std::string& name)
{
    CRegistry registry(HKEY_CURRENT_USER);
    std::string text = "<missing>";
    if (registry.Open(HKEY_CURRENT_USER, key, KEY_READ))
        registry.Read(name, text);
    return text;
}

// The node of the first item of that kind.
TvTreeItem NodeOf(CItemsTreeWnd& tree, std::uint32_t kind)
{
    const CCheckTreeModel& model = tree.GetModel();
    for (TvTreeItem item = model.GetRootItem(); item; item = model.GetNextItemEx(item))
        if (const auto* tag = reinterpret_cast<const ItemTag*>(model.GetItemData(item));
            tag && tag->kind == kind)
            return item;
    return {};
}

} // namespace

class RestoreIdentityWizardTest : public RestoreWizardTest
{
protected:
    void SetUp() override
    {
        RestoreWizardTest::SetUp();
        if (const char* registry = std::getenv("TBM_REGISTRY"))
            m_registry = registry;
        UseRegistry(m_dir / "identities.sqlite");
    }
    void TearDown() override
    {
        RestoreWizardTest::TearDown();
        UseRegistry(m_registry);
    }
    static void UseRegistry(const std::string& path)
    {
        setenv("TBM_REGISTRY", path.c_str(), 1);
        CRegistryStore::Reset();
    }
    // Alice: the sample identity, her store in the test's folder.
    void SetUpAlice()
    {
        SetText("Identities", "Default User ID", kAlice);
        SetText("Identities\\" + kAlice, "Username", "Alice");
        SetText(Express(kAlice), "Store Root", m_store);
        tbmtest::WriteSampleSettings(SetText, kAlice, Express(kAlice));
        tbmtest::WriteSampleStore(m_store);
    }
    // The identity list answered with the row `pick` chooses.
    static void QueueIdentityList(const std::function<int(CIdentityListDlg&)>& pick)
    {
        CUiDialogs::QueueAnswer([pick](CUiDialogs::Request& request) {
            auto* list = dynamic_cast<CIdentityListDlg*>(request.dialog);
            EXPECT_NE(list, nullptr);
            if (!list)
                return static_cast<int>(QDialog::Rejected);
            const int row = pick(*list);
            if (row < 0)
                return static_cast<int>(QDialog::Rejected);
            list->GetList()->setCurrentRow(row);
            return static_cast<int>(QDialog::Accepted);
        });
    }
    // On 152: the identity's node, selected, its page shown.
    TvTreeItem ShowRestoredIdentity(CIdentityTargetPage*& page)
    {
        CItemsTreeWnd& tree = *m_window->GetRestoreChoicePage()->GetTree();
        const TvTreeItem node = NodeOf(tree, itemkind::kOEIdentity);
        EXPECT_TRUE(node);
        tree.SelectItem(node);
        Settle();
        page =
            dynamic_cast<CIdentityTargetPage*>(m_window->GetRestoreChoicePage()->GetDetailPage());
        EXPECT_NE(page, nullptr);
        return node;
    }

    std::string m_registry;
    std::string m_store = m_dir / "alice-store";
};

TEST_F(RestoreIdentityWizardTest, AnIdentityComesBackIntoANewOneAndNeedsATargetToBeTicked)
{
    SetUpAlice();
    NameJobAndMedium("Mail");
    CItemsTreeWnd& backupTree = *m_window->GetSelectionPage()->GetTree();
    const TvTreeItem alice = NodeOf(backupTree, itemkind::kOEIdentity);
    ASSERT_TRUE(alice);
    backupTree.CheckItem(alice, tvcheck::kCheck);
    backupTree.SelectItem(alice);
    Settle();
    // The identity's own page shows its folders and settings: the user ticks two of
    // the three mail folders there.
    EXPECT_EQ(m_window->GetSelectionPage()->GetDetailPageId(), 134u);
    QAbstractItemModel* shown =
        m_window->GetSelectionPage()->GetDetailPage()->GetListView()->model();
    ASSERT_TRUE(shown);
    for (const char* folder : {"Inbox", "Lists"}) {
        const QModelIndexList found =
            shown->match(shown->index(0, 0), Qt::DisplayRole, folder, 1, Qt::MatchRecursive);
        ASSERT_EQ(found.size(), 1) << folder;
        EXPECT_TRUE(shown->setData(found.front(), Qt::Checked, Qt::CheckStateRole));
    }
    Next();
    ASSERT_EQ(Page(), pageid::kMyFiles);
    Next();
    ASSERT_EQ(Page(), pageid::kSettings);
    SetPassword("");
    ASSERT_EQ(RunWithoutVerifying(), 10);
    const std::string backup = g_ProjectData.GetOutputPath();

    // Another system: no identities at all. The backup's identity goes into a new one.
    UseRegistry(m_dir / "other.sqlite");
    QueueIdentityList([](CIdentityListDlg& list) {
        EXPECT_EQ(list.GetList()->count(), 1);
        return list.NewIdentityRow();
    });
    GoTo(pageid::kRestoreFile);
    ASSERT_TRUE(m_window->GetRestoreFilePage()->Open(backup));
    EXPECT_EQ(CUiDialogs::PendingAnswers(), 0u);
    Next();
    ASSERT_EQ(Page(), pageid::kRestoreChoice);
    CIdentityTargetPage* page = nullptr;
    const TvTreeItem node = ShowRestoredIdentity(page);
    ASSERT_TRUE(page);
    const std::string made = LoadResString(COEIdentities::kTextDefaultName);
    EXPECT_NE(page->GetTargetLabel()->text().toStdString().find(made), std::string::npos);
    ASSERT_TRUE(page->GetListView()->model());
    EXPECT_GT(page->GetListView()->model()->rowCount(), 0);
    m_window->GetRestoreChoicePage()->GetTree()->CheckItem(node, tvcheck::kCheck);
    ASSERT_TRUE(RunRestore());

    COEIdentities identities;
    ASSERT_EQ(identities.Enumerate(), 1);
    ASSERT_EQ(identities.GetGuids().size(), 1u);
    const std::string guid = identities.GetGuids()[0];
    EXPECT_NE(guid, kAlice);
    EXPECT_EQ(identities.GetNames()[0], made);
    const std::string store = COEData::LookUpStoreFolder(guid);
    for (const char* name : {"Inbox.dbx", "Lists.dbx", "Folders.dbx"})
        EXPECT_TRUE(tbmtest::ReadFileBytes(m_store + "/" + name) ==
                    tbmtest::ReadFileBytes(store + "/" + name))
            << name;
    EXPECT_FALSE(std::filesystem::exists(store + "/Sent Items.dbx"));
    EXPECT_EQ(GetText(Express(guid) + "\\Rules\\Mail\\000", "Name"), "Spam rule");
    EXPECT_EQ(GetText(Express(guid) + "\\Block Senders\\Mail\\Criteria\\0", "Sender"), "spam@x");
    EXPECT_EQ(GetText(Express(guid) + "\\Mail", "Show Images"), "1");
    EXPECT_EQ(GetText(Express(guid) + "\\signatures\\00000000", "name"), "Work sig");
    EXPECT_EQ(GetText("Identities\\" + guid + "\\" + tbmtest::kSampleAccounts + "00000002",
                      "Account Name"),
              "alice.example");

    // Opened again, the choice is put off: without a target the identity is refused,
    // until the identity just made is chosen on its page and confirmed in the wizard.
    QueueIdentityList([](CIdentityListDlg&) { return -1; });
    GoTo(pageid::kRestoreFile);
    ASSERT_TRUE(m_window->GetRestoreFilePage()->Open(backup));
    Next();
    ASSERT_EQ(Page(), pageid::kRestoreChoice);
    const TvTreeItem again = ShowRestoredIdentity(page);
    ASSERT_TRUE(page);
    CItemsTreeWnd& restoreTree = *m_window->GetRestoreChoicePage()->GetTree();
    std::string said;
    QueueMessage(said);
    restoreTree.CheckItem(again, tvcheck::kCheck);
    EXPECT_EQ(said, LoadResString(176));
    EXPECT_FALSE(restoreTree.GetModel().IsItemChecked(again));
    QueueIdentityList([](CIdentityListDlg&) { return 0; });
    CUiDialogs::QueueAnswer([](CUiDialogs::Request& request) {
        EXPECT_NE(dynamic_cast<COEWizardDlg*>(request.dialog), nullptr);
        return COEWizardDlg::kUseIdentity;
    });
    page->GetChooseButton()->click();
    EXPECT_EQ(CUiDialogs::PendingAnswers(), 0u);
    EXPECT_NE(page->GetTargetLabel()->text().toStdString().find(made), std::string::npos);
    restoreTree.CheckItem(again, tvcheck::kCheck);
    EXPECT_TRUE(restoreTree.GetModel().IsItemChecked(again));

    // The list marks the chosen identity, and only that one: a new identity chosen
    // takes the mark, a cancelled choice keeps the target.
    const auto marked = [](const CIdentityListDlg& list) {
        std::vector<int> rows;
        for (int row = 0; row < list.GetList()->count(); ++row)
            if (list.GetList()->item(row)->font().bold())
                rows.push_back(row);
        return rows;
    };
    const QString first = page->GetTargetLabel()->text();
    QueueIdentityList([&](CIdentityListDlg& list) {
        EXPECT_EQ(marked(list), std::vector<int>{0});
        return list.NewIdentityRow();
    });
    page->GetChooseButton()->click();
    const QString second = page->GetTargetLabel()->text();
    EXPECT_NE(second, first);
    QueueIdentityList([&](CIdentityListDlg& list) {
        EXPECT_EQ(list.GetList()->count(), 3);
        EXPECT_EQ(marked(list), std::vector<int>{1});
        EXPECT_EQ(list.GetList()->currentRow(), 1);
        return -1;
    });
    page->GetChooseButton()->click();
    EXPECT_EQ(CUiDialogs::PendingAnswers(), 0u);
    EXPECT_EQ(page->GetTargetLabel()->text(), second);
}
