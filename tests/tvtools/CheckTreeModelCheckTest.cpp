// Every state transition of CheckItem, on an item without children and on an item
// whose child shows a tick or a hatched box (what the recompute type looks at).
#include "CheckTreeModel.h"

#include <gtest/gtest.h>

using namespace tvcheck;

namespace {

constexpr int kNoChild = -1;

struct TransitionCase
{
    int state;
    int type;
    int childState;
    int expected;
};

std::ostream& operator<<(std::ostream& out, const TransitionCase& c)
{
    return out << "state " << c.state << " type " << c.type << " child " << c.childState << " -> "
               << c.expected;
}

} // namespace

class CheckItemTransitionTest : public ::testing::TestWithParam<TransitionCase>
{
};

TEST_P(CheckItemTransitionTest, NewState)
{
    const TransitionCase& c = GetParam();
    CCheckTreeModel model;
    const TvTreeItem item = model.InsertItem("item", {}, kTvItemLast, c.state);
    TvTreeItem child;
    if (c.childState != kNoChild)
        child = model.InsertItem("child", item, kTvItemLast, c.childState);

    EXPECT_EQ(1, model.CheckItem(item, c.type));
    EXPECT_EQ(c.expected, model.GetItemCheckState(item));
    if (child) {
        EXPECT_EQ(c.childState, model.GetItemCheckState(child)) << "a child never changes";
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Leaf, CheckItemTransitionTest, ::testing::Values(
    // An item without a box has nothing to check or toggle.
    TransitionCase{kNone, kCheck, kNoChild, kNone},
    TransitionCase{kNone, kUncheck, kNoChild, kNone},
    TransitionCase{kNone, kToggle, kNoChild, kNone},
    TransitionCase{kNone, kRecompute, kNoChild, kNone},
    TransitionCase{kUnchecked, kCheck, kNoChild, kChecked},
    TransitionCase{kUnchecked, kUncheck, kNoChild, kUnchecked},
    TransitionCase{kUnchecked, kToggle, kNoChild, kChecked},
    TransitionCase{kUnchecked, kRecompute, kNoChild, kUnchecked},
    TransitionCase{kChecked, kCheck, kNoChild, kChecked},
    TransitionCase{kChecked, kUncheck, kNoChild, kUnchecked},
    TransitionCase{kChecked, kToggle, kNoChild, kUnchecked},
    TransitionCase{kChecked, kRecompute, kNoChild, kChecked},
    TransitionCase{kPartial, kCheck, kNoChild, kCheckedPartial},
    TransitionCase{kPartial, kUncheck, kNoChild, kPartial},
    TransitionCase{kPartial, kToggle, kNoChild, kCheckedPartial},
    TransitionCase{kPartial, kRecompute, kNoChild, kUnchecked},
    TransitionCase{kCheckedPartial, kCheck, kNoChild, kCheckedPartial},
    TransitionCase{kCheckedPartial, kUncheck, kNoChild, kPartial},
    TransitionCase{kCheckedPartial, kToggle, kNoChild, kPartial},
    TransitionCase{kCheckedPartial, kRecompute, kNoChild, kChecked},
    TransitionCase{kUnavailable, kCheck, kNoChild, kUnavailable},
    TransitionCase{kUnavailable, kUncheck, kNoChild, kUnavailable},
    TransitionCase{kUnavailable, kToggle, kNoChild, kUnavailable},
    TransitionCase{kUnavailable, kRecompute, kNoChild, kUnavailable},
    // Unknown types change nothing.
    TransitionCase{kUnchecked, 4, kNoChild, kUnchecked},
    TransitionCase{kChecked, -1, kNoChild, kChecked}));

INSTANTIATE_TEST_SUITE_P(WithChild, CheckItemTransitionTest, ::testing::Values(
    // Only the recompute type looks at the children.
    TransitionCase{kUnchecked, kRecompute, kChecked, kPartial},
    TransitionCase{kUnchecked, kRecompute, kPartial, kPartial},
    TransitionCase{kUnchecked, kRecompute, kCheckedPartial, kPartial},
    TransitionCase{kUnchecked, kRecompute, kUnavailable, kPartial},
    TransitionCase{kUnchecked, kRecompute, kUnchecked, kUnchecked},
    TransitionCase{kUnchecked, kRecompute, kNone, kUnchecked},
    TransitionCase{kChecked, kRecompute, kChecked, kCheckedPartial},
    TransitionCase{kChecked, kRecompute, kUnchecked, kChecked},
    TransitionCase{kPartial, kRecompute, kChecked, kPartial},
    TransitionCase{kPartial, kRecompute, kUnchecked, kUnchecked},
    TransitionCase{kCheckedPartial, kRecompute, kChecked, kCheckedPartial},
    TransitionCase{kCheckedPartial, kRecompute, kNone, kChecked},
    TransitionCase{kNone, kRecompute, kChecked, kNone},
    TransitionCase{kUnavailable, kRecompute, kChecked, kUnavailable},
    TransitionCase{kUnchecked, kToggle, kChecked, kChecked},
    TransitionCase{kPartial, kToggle, kChecked, kCheckedPartial},
    TransitionCase{kCheckedPartial, kUncheck, kChecked, kPartial}));
// clang-format on

TEST(CheckItemTest, NullAndStaleItemsReturnZero)
{
    CCheckTreeModel model;
    EXPECT_EQ(0, model.CheckItem({}, kToggle));
    const TvTreeItem item = model.InsertItem("gone");
    model.DeleteItem(item);
    EXPECT_EQ(0, model.CheckItem(item, kToggle));
    EXPECT_EQ(kNone, model.GetItemCheckState(item));
    EXPECT_FALSE(model.IsItemChecked(item));
}

struct QueryCase
{
    int state;
    bool checked;
    bool checkedOrSub;
};

class CheckQueryTest : public ::testing::TestWithParam<QueryCase>
{
};

TEST_P(CheckQueryTest, CheckedAndSubChecked)
{
    CCheckTreeModel model;
    const TvTreeItem item = model.InsertItem("x", {}, kTvItemLast, GetParam().state);
    EXPECT_EQ(GetParam().state, model.GetItemCheckState(item));
    EXPECT_EQ(GetParam().checked, model.IsItemChecked(item));
    EXPECT_EQ(GetParam().checkedOrSub, model.IsItemCheckedOrSubChecked(item));
}

INSTANTIATE_TEST_SUITE_P(States, CheckQueryTest,
                         ::testing::Values(QueryCase{0, false, false}, QueryCase{1, false, false},
                                           QueryCase{2, true, true}, QueryCase{3, false, true},
                                           QueryCase{4, true, true}, QueryCase{5, false, false}));
