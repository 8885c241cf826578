// Pre-order walks over all items and over checked items.
#include "CheckTreeText.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<std::string> Forward(const CCheckTreeModel& model)
{
    std::vector<std::string> names;
    for (TvTreeItem item = model.GetRootItem(); item; item = model.GetNextItemEx(item))
        names.push_back(model.GetItemText(item));
    return names;
}

std::vector<std::string> Backward(const CCheckTreeModel& model)
{
    std::vector<std::string> names;
    for (TvTreeItem item = model.GetLastItem({}); item; item = model.GetPrevItem(item))
        names.push_back(model.GetItemText(item));
    return names;
}

std::vector<std::string> CheckedForward(const CCheckTreeModel& model)
{
    std::vector<std::string> names;
    for (TvTreeItem item = model.GetFirstCheckedItem(); item; item = model.GetNextCheckedItem(item))
        names.push_back(model.GetItemText(item));
    return names;
}

using Names = std::vector<std::string>;

} // namespace

TEST(CheckTreeWalkTest, EmptyTree)
{
    CCheckTreeModel model;
    EXPECT_FALSE(model.GetRootItem());
    EXPECT_FALSE(model.GetFirstCheckedItem());
    EXPECT_FALSE(model.GetLastItem({}));
    EXPECT_FALSE(model.GetNextItemEx({}));
    EXPECT_FALSE(model.GetPrevItem({}));
    EXPECT_FALSE(model.GetNextCheckedItem({}));
    EXPECT_FALSE(model.GetPrevCheckedItem({}));
}

TEST(CheckTreeWalkTest, OneUncheckedItem)
{
    CCheckTreeModel model;
    const TvTreeItem item = model.InsertItem("only");
    EXPECT_EQ(item, model.GetRootItem());
    EXPECT_FALSE(model.GetNextItemEx(item));
    EXPECT_FALSE(model.GetPrevItem(item));
    EXPECT_EQ(item, model.GetLastItem(item));
    EXPECT_EQ(item, model.GetLastItem({}));
    EXPECT_FALSE(model.GetFirstCheckedItem());
}

TEST(CheckTreeWalkTest, OneCheckedItem)
{
    CCheckTreeModel model;
    const TvTreeItem item = model.InsertItem("only", {}, kTvItemLast, tvcheck::kChecked);
    EXPECT_EQ(item, model.GetFirstCheckedItem());
    EXPECT_FALSE(model.GetNextCheckedItem(item));
    EXPECT_FALSE(model.GetPrevCheckedItem(item));
}

TEST(CheckTreeWalkTest, PreOrderBothWays)
{
    CCheckTreeModel model;
    const auto items = treetest::Build(model, "A1[B1[C1 D1] E1] F1[G1[H1]] I1");
    const Names order = {"A", "B", "C", "D", "E", "F", "G", "H", "I"};
    EXPECT_EQ(order, Forward(model));
    EXPECT_EQ(Names(order.rbegin(), order.rend()), Backward(model));
    EXPECT_EQ(items.at("D"), model.GetLastItem(items.at("B")));
    EXPECT_EQ(items.at("E"), model.GetLastItem(items.at("A")));
    EXPECT_EQ(items.at("H"), model.GetLastItem(items.at("F")));
    EXPECT_EQ(items.at("D"), model.GetPrevItem(items.at("E")));
    EXPECT_EQ(items.at("A"), model.GetPrevItem(items.at("B")));
}

TEST(CheckTreeWalkTest, CheckedItemsInBothDirections)
{
    CCheckTreeModel model;
    const auto items = treetest::Build(model, "A3[B2 C1[D4[E2]]] F5 G2 H1");
    EXPECT_EQ(Names({"B", "D", "E", "G"}), CheckedForward(model));
    EXPECT_FALSE(model.GetNextCheckedItem(items.at("G")));
    EXPECT_EQ(items.at("E"), model.GetPrevCheckedItem(items.at("G")));
    EXPECT_EQ(items.at("B"), model.GetPrevCheckedItem(items.at("D")));
    EXPECT_FALSE(model.GetPrevCheckedItem(items.at("B")));
    EXPECT_EQ(items.at("G"), model.GetPrevCheckedItem(items.at("H")));
}

TEST(CheckTreeWalkTest, StaleHandlesEndTheWalk)
{
    CCheckTreeModel model;
    const auto items = treetest::Build(model, "A2[B2] C2");
    model.DeleteItem(items.at("A"));
    EXPECT_FALSE(model.GetNextItemEx(items.at("B")));
    EXPECT_FALSE(model.GetPrevItem(items.at("A")));
    EXPECT_FALSE(model.GetNextCheckedItem(items.at("A")));
    EXPECT_EQ(items.at("C"), model.GetFirstCheckedItem());
}
