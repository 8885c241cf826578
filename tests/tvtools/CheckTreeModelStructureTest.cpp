// Inserting, deleting, item properties and what observers are told.
#include "CheckTreeObserver.h"
#include "CheckTreeText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(CheckTreeStructureTest, InsertPositions)
{
    CCheckTreeModel model;
    const TvTreeItem parent = model.InsertItem("P");
    const TvTreeItem b = model.InsertItem("B", parent);
    model.InsertItem("A", parent, kTvItemFirst);
    model.InsertItem("C", parent, b);
    model.InsertItem("D", parent, kTvItemLast);
    EXPECT_EQ("P1[A1 B1 C1 D1]", treetest::Describe(model));
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(row, model.GetItemRow(model.GetChildAt(parent, row)));
    EXPECT_EQ(4, model.GetChildCount(parent));
    EXPECT_EQ(parent, model.GetParentItem(b));
    EXPECT_FALSE(model.GetParentItem(parent));
}

TEST(CheckTreeStructureTest, InsertRefusesStaleParentsAndBadStates)
{
    CCheckTreeModel model;
    const TvTreeItem gone = model.InsertItem("gone");
    model.DeleteItem(gone);
    EXPECT_FALSE(model.InsertItem("x", gone));
    EXPECT_FALSE(model.InsertItem("x", {}, kTvItemLast, 6));
    EXPECT_FALSE(model.InsertItem("x", {}, kTvItemLast, -1));
    EXPECT_EQ(0u, model.GetCount());
}

TEST(CheckTreeStructureTest, DeleteRenumbersAndNeverReusesHandles)
{
    CCheckTreeModel model;
    const auto items = treetest::Build(model, "A1 B1[X1 Y1] C1");
    EXPECT_TRUE(model.DeleteItem(items.at("B")));
    EXPECT_EQ("A1 C1", treetest::Describe(model));
    EXPECT_EQ(1, model.GetItemRow(items.at("C")));
    EXPECT_EQ(2u, model.GetCount());
    EXPECT_FALSE(model.IsItem(items.at("X")));
    EXPECT_FALSE(model.DeleteItem(items.at("B")));
    EXPECT_FALSE(model.DeleteItem({}));
    const TvTreeItem fresh = model.InsertItem("D");
    for (const auto& [name, item] : items)
        EXPECT_NE(item, fresh) << name;
    EXPECT_TRUE(model.DeleteAllItems());
    EXPECT_EQ(0u, model.GetCount());
    EXPECT_FALSE(model.IsItem(items.at("A")));
}

TEST(CheckTreeStructureTest, DeletingDropsTheKeysOfTheSubtree)
{
    CCheckTreeModel model;
    const auto items = treetest::Build(model, "A1[B1]");
    ASSERT_TRUE(model.SetCheckStringState(items.at("B"), "key-b"));
    model.DeleteItem(items.at("A"));
    std::string key;
    EXPECT_FALSE(model.GetCheckStringState(items.at("B"), key));
    EXPECT_FALSE(model.SetCheckStringState(items.at("B"), "again"));
}

TEST(CheckTreeStructureTest, Properties)
{
    CCheckTreeModel model;
    const TvTreeItem item = model.InsertItem("Outlook Express");
    EXPECT_TRUE(model.SetItemText(item, "Favorites"));
    EXPECT_TRUE(model.SetItemData(item, 0xC0FFEE));
    EXPECT_TRUE(model.SetItemBold(item, true));
    EXPECT_TRUE(model.SetCheckStringState(item, "Fav"));
    EXPECT_TRUE(model.SetCheckStringState(item, "Favorites"));
    EXPECT_EQ("Favorites", model.GetItemText(item));
    EXPECT_EQ(0xC0FFEEu, model.GetItemData(item));
    EXPECT_TRUE(model.IsItemBold(item));
    std::string key;
    EXPECT_TRUE(model.GetCheckStringState(item, key));
    EXPECT_EQ("Favorites", key);
    EXPECT_FALSE(model.SetItemCheckState(item, 6));
    EXPECT_TRUE(model.SetItemCheckState(item, tvcheck::kUnavailable));
    EXPECT_EQ(tvcheck::kUnavailable, model.GetItemCheckState(item));
    EXPECT_FALSE(model.SetItemText({}, "x"));
    EXPECT_FALSE(model.SetItemBold({}, true));
    EXPECT_EQ(0u, model.GetItemData({}));
}

namespace {

class CRecordingObserver : public CCheckTreeObserver
{
public:
    explicit CRecordingObserver(const CCheckTreeModel& model) : m_model(model) {}
    void OnBeforeInsertItem(TvTreeItem parent, int row) override
    {
        log.push_back("insert " + Name(parent) + " " + std::to_string(row));
    }
    void OnAfterInsertItem(TvTreeItem item) override { log.push_back("inserted " + Name(item)); }
    void OnBeforeDeleteItem(TvTreeItem item) override { log.push_back("delete " + Name(item)); }
    void OnAfterDeleteItem() override { log.push_back("deleted"); }
    void OnBeforeDeleteAll() override { log.push_back("delete all"); }
    void OnAfterDeleteAll() override { log.push_back("deleted all"); }
    void OnItemChanged(TvTreeItem item) override { log.push_back("changed " + Name(item)); }

    std::vector<std::string> log;

private:
    std::string Name(TvTreeItem item) const { return item ? m_model.GetItemText(item) : "-"; }
    const CCheckTreeModel& m_model;
};

} // namespace

TEST(CheckTreeObserverTest, ToldAboutEveryChange)
{
    CCheckTreeModel model;
    CRecordingObserver observer(model);
    model.AddObserver(&observer);
    model.AddObserver(&observer);
    const TvTreeItem p = model.InsertItem("P");
    const TvTreeItem a = model.InsertItem("A", p);
    model.InsertItem("B", p, kTvItemFirst);
    model.CheckItem(a, tvcheck::kToggle);
    model.SetItemBold(a, true);
    model.SetItemBold(a, true);
    model.DeleteItem(a);
    model.DeleteAllItems();
    model.RemoveObserver(&observer);
    model.InsertItem("unseen");
    const std::vector<std::string> expected = {
        "insert - 0", "inserted P", "insert P 0", "inserted A", "insert P 0",
        "inserted B", "changed A",  "changed P",  "changed A",  "delete A",
        "deleted",    "delete all", "deleted all"};
    EXPECT_EQ(expected, observer.log);
}
