#include "BackupTestFixture.h"
#include "CheckTreeModel.h"
#include "ItemKinds.h"
#include "ItemTag.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using backuptest::BackupMangerTest;

// A source that only answers whether its data exist (and, for Outlook Express,
// which identities there are).
class CPresenceSource : public CBackupMangerSource
{
public:
    CPresenceSource(bool present, std::vector<std::string> identities = {})
        : m_bPresent(present), m_Identities(std::move(identities))
    {
    }
    int Collect(std::string&) override { return result::kSuccess; }
    bool IsPresent() const override { return m_bPresent; }
    std::vector<std::string> GetIdentityNames() const override { return m_Identities; }

private:
    bool m_bPresent;
    std::vector<std::string> m_Identities;
};

const ItemTag& TagOf(const CCheckTreeModel& tree, TvTreeItem item)
{
    return *reinterpret_cast<const ItemTag*>(tree.GetItemData(item));
}

std::vector<std::string> ChildTexts(const CCheckTreeModel& tree, TvTreeItem parent)
{
    std::vector<std::string> texts;
    for (TvTreeItem item = tree.GetChildItem(parent); item; item = tree.GetNextSiblingItem(item))
        texts.push_back(tree.GetItemText(item));
    return texts;
}

class BackupTreeTest : public BackupMangerTest
{
protected:
    void AddAllSources()
    {
        m_engine.SetSource(itemkind::kOutlook, std::make_unique<CPresenceSource>(true));
        m_engine.SetSource(itemkind::kOEGroup, std::make_unique<CPresenceSource>(
                                                   true, std::vector<std::string>{"Main", "Work"}));
        m_engine.SetSource(itemkind::kFavorites, std::make_unique<CPresenceSource>(true));
        m_engine.SetSource(itemkind::kAddressBook, std::make_unique<CPresenceSource>(true));
        m_engine.SetSource(itemkind::kFonts, std::make_unique<CPresenceSource>(true));
    }

    CCheckTreeModel m_tree;
};

TEST_F(BackupTreeTest, WithoutSourcesOnlyTheRootIsThere)
{
    EXPECT_EQ(m_engine.BuildBackupTree(nullptr), 0);
    ASSERT_EQ(m_engine.BuildBackupTree(&m_tree), 0);
    ASSERT_EQ(m_tree.GetCount(), 1u);
    const TvTreeItem root = m_tree.GetRootItem();
    EXPECT_EQ(m_tree.GetItemText(root), LoadResString(104));
    EXPECT_EQ(m_tree.GetItemCheckState(root), tvcheck::kUnavailable);
    EXPECT_EQ(TagOf(m_tree, root).kind, itemkind::kRoot);
    // Building again does not add a second root.
    ASSERT_EQ(m_engine.BuildBackupTree(&m_tree), 0);
    EXPECT_EQ(m_tree.GetCount(), 1u);
}

TEST_F(BackupTreeTest, PresentSourcesGetTheirNodesInOrder)
{
    AddAllSources();
    // Present in the engine but not on this machine: no node.
    m_engine.SetSource(itemkind::kFonts, std::make_unique<CPresenceSource>(false));
    ASSERT_EQ(m_engine.BuildBackupTree(&m_tree), 0);
    const TvTreeItem root = m_tree.GetRootItem();
    const std::string group = LoadResString(113) + " " + FillInserts(LoadResString(114), {"2"});
    EXPECT_EQ(ChildTexts(m_tree, root),
              (std::vector<std::string>{LoadResString(103), group, LoadResString(121),
                                        LoadResString(123)}));
    std::vector<std::uint32_t> kinds;
    for (TvTreeItem item = m_tree.GetChildItem(root); item; item = m_tree.GetNextSiblingItem(item))
        kinds.push_back(TagOf(m_tree, item).kind);
    EXPECT_EQ(kinds, (std::vector<std::uint32_t>{0, 1, 13, 15}));

    const TvTreeItem oe = m_tree.GetChildAt(root, 1);
    EXPECT_EQ(m_tree.GetItemCheckState(oe), tvcheck::kUnavailable);
    EXPECT_EQ(ChildTexts(m_tree, oe), (std::vector<std::string>{"Main", "Work"}));
    const TvTreeItem work = m_tree.GetChildAt(oe, 1);
    EXPECT_EQ(TagOf(m_tree, work).kind, itemkind::kOEIdentity);
    EXPECT_EQ(TagOf(m_tree, work).value, 1u);
    EXPECT_EQ(m_tree.GetItemCheckState(work), tvcheck::kUnchecked);
    std::string key;
    ASSERT_TRUE(m_tree.GetCheckStringState(work, key));
    EXPECT_EQ(key, "Work");
}

TEST_F(BackupTreeTest, StartBackupSavesTheStatesAndTheNextTreeLoadsThem)
{
    AddAllSources();
    ASSERT_EQ(m_engine.BuildBackupTree(&m_tree), 0);
    const TvTreeItem root = m_tree.GetRootItem();
    m_tree.SetItemCheckState(m_tree.GetChildAt(root, 2), tvcheck::kChecked); // favorites
    const TvTreeItem oe = m_tree.GetChildAt(root, 1);
    m_tree.SetItemCheckState(m_tree.GetChildAt(oe, 0), tvcheck::kChecked); // "Main"
    m_pSource->m_Files = {{MakeFile("a.txt", "aaaa"), "a.txt"}};
    Backup();
    EXPECT_EQ(m_recorder.EventValues(notify::kBackupDone).size(), 1u);

    CCheckTreeModel next;
    ASSERT_EQ(m_engine.BuildBackupTree(&next), 0);
    const TvTreeItem nextRoot = next.GetRootItem();
    EXPECT_EQ(next.GetItemCheckState(next.GetChildAt(nextRoot, 0)), tvcheck::kUnchecked);
    EXPECT_EQ(next.GetItemCheckState(next.GetChildAt(nextRoot, 2)), tvcheck::kChecked);
    const TvTreeItem nextOe = next.GetChildAt(nextRoot, 1);
    EXPECT_EQ(next.GetItemCheckState(next.GetChildAt(nextOe, 0)), tvcheck::kChecked);
    EXPECT_EQ(next.GetItemCheckState(next.GetChildAt(nextOe, 1)), tvcheck::kUnchecked);
    m_engine.BuildBackupTree(nullptr);
}

TEST_F(BackupTreeTest, DamagedSavedStatesLeaveTheTreeUnchecked)
{
    AddAllSources();
    ASSERT_TRUE(g_ProjectData.SaveJob());
    tbmtest::WriteFileBytes(g_ProjectData.GetPathInJobFolder("MainTree.xsel"), "\xFF\xFF garbage");
    ASSERT_EQ(m_engine.BuildBackupTree(&m_tree), 0);
    EXPECT_EQ(m_tree.GetCount(), 8u);
    EXPECT_EQ(m_tree.GetFirstCheckedItem(), TvTreeItem{});
    m_engine.BuildBackupTree(nullptr);
}

} // namespace
