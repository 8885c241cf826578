// Fill tree and Insert path of CDataSource over the check-tree model.
#include "DataSource.h"

#include "CheckTreeModel.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class DataSourceTreeTest : public ::testing::Test
{
protected:
    CAddInfo* AddEntry(const std::string& treePath)
    {
        auto info = std::make_unique<CAddInfo>();
        info->m_strTreePath = treePath;
        CAddInfo* raw = info.get();
        m_source.GetItemList().Add(std::move(info));
        return raw;
    }

    // The tree as indented lines "text" per item, two spaces per level.
    std::string Dump() const
    {
        std::string out;
        std::function<void(TvTreeItem, int)> walk = [&](TvTreeItem parent, int depth) {
            for (TvTreeItem item = m_tree.GetChildItem(parent); item;
                 item = m_tree.GetNextSiblingItem(item)) {
                out += std::string(static_cast<std::size_t>(depth) * 2, ' ') +
                       m_tree.GetItemText(item) + "\n";
                walk(item, depth + 1);
            }
        };
        walk({}, 0);
        return out;
    }

    CCheckTreeModel m_tree;
    CDataSource m_source{"test.tdat"};
};

TEST_F(DataSourceTreeTest, PathsThatDifferInCaseShareTheirNodes)
{
    CAddInfo* first = AddEntry("Documents\\Letters\\a.txt");
    CAddInfo* second = AddEntry("DOCUMENTS\\letters\\B.txt");
    AddEntry("");
    EXPECT_EQ(0, m_source.FillTree(m_tree, {}));
    EXPECT_EQ("Documents\n  Letters\n    a.txt\n    B.txt\n", Dump());

    const TvTreeItem letters = m_tree.GetChildItem(m_tree.GetRootItem());
    const TvTreeItem a = m_tree.GetChildItem(letters);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(first), m_tree.GetItemData(a));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(second),
              m_tree.GetItemData(m_tree.GetNextSiblingItem(a)));
    // New nodes start unchecked.
    EXPECT_EQ(1, m_tree.GetItemCheckState(a));
}

TEST_F(DataSourceTreeTest, FillingAtTheTopLevelEmptiesTheTreeFirst)
{
    m_tree.InsertItem("Old");
    AddEntry("New");
    m_source.FillTree(m_tree, {});
    EXPECT_EQ("New\n", Dump());
}

TEST_F(DataSourceTreeTest, FillingBelowANodeKeepsTheRestAndItsData)
{
    const TvTreeItem top = m_tree.InsertItem("Favorites");
    m_tree.SetItemData(top, 42);
    m_tree.InsertItem("Fonts");
    AddEntry("Links\\a.url");
    AddEntry("\\\\"); // only separators: names the parent itself
    m_source.FillTree(m_tree, top);
    EXPECT_EQ("Favorites\n  Links\n    a.url\nFonts\n", Dump());
    EXPECT_EQ(42u, m_tree.GetItemData(top));
}

TEST_F(DataSourceTreeTest, InsertPathStartsAtTheGivenComponentAndSkipsEmptyOnes)
{
    const TvTreeItem node = m_source.InsertPath(m_tree, "skip\\\\a\\\\b\\", {}, 1);
    EXPECT_EQ("a\n  b\n", Dump());
    EXPECT_EQ("b", m_tree.GetItemText(node));
    // A path with fewer components than the index names the parent.
    const TvTreeItem parent = m_tree.GetRootItem();
    EXPECT_EQ(parent, m_source.InsertPath(m_tree, "x", parent, 3));
    EXPECT_EQ(parent, m_source.InsertPath(m_tree, "", parent, 0));
}

TEST_F(DataSourceTreeTest, InsertPathFindsExistingNodesIgnoringCaseOutsideFillTree)
{
    const TvTreeItem first = m_source.InsertPath(m_tree, "Ärger\\Datei", {}, 0);
    const TvTreeItem again = m_source.InsertPath(m_tree, "ärger\\DATEI", {}, 0);
    EXPECT_EQ(first, again);
    EXPECT_EQ(2u, m_tree.GetCount());
}

TEST_F(DataSourceTreeTest, DeepPathIsInsertedWithoutRecursion)
{
    std::string path;
    for (int i = 0; i < 20000; ++i)
        path += "d\\";
    const TvTreeItem deepest = m_source.InsertPath(m_tree, path, {}, 0);
    EXPECT_EQ(20000u, m_tree.GetCount());
    EXPECT_TRUE(deepest);
    EXPECT_FALSE(m_tree.ItemHasChildren(deepest));
}

TEST_F(DataSourceTreeTest, StaleParentAddsNothing)
{
    const TvTreeItem gone = m_tree.InsertItem("Gone");
    m_tree.DeleteItem(gone);
    AddEntry("a\\b");
    m_source.FillTree(m_tree, gone);
    EXPECT_EQ(0u, m_tree.GetCount());
}

TEST_F(DataSourceTreeTest, ManyFilesInOneFolderAllGetANode)
{
    for (int i = 0; i < 5000; ++i)
        AddEntry("Folder\\file" + std::to_string(i));
    AddEntry("folder\\FILE17");
    m_source.FillTree(m_tree, {});
    EXPECT_EQ(5001u, m_tree.GetCount());
}

TEST(DataSourceTagTest, TagsAreOwnedUntilCleared)
{
    CDataSource source;
    const ItemTag* tag = source.NewTag(7, 2);
    EXPECT_EQ(7u, tag->value);
    EXPECT_EQ(2u, tag->kind);
    source.NewTag(0, 3);
    EXPECT_EQ(2u, source.GetTagCount());
    source.Reset();
    EXPECT_EQ(0u, source.GetTagCount());
    EXPECT_EQ(-1, source.GetMode());
}

} // namespace
