// Propagation of check states to ancestors, CheckItemChildern and CheckAll/UnCheckAll,
// on trees written as text (see CheckTreeText.h).
#include "CheckTreeText.h"

#include <gtest/gtest.h>

using namespace tvcheck;

namespace {

struct PropagationCase
{
    const char* name;
    const char* before;
    const char* item;
    int type;
    const char* after;
};

} // namespace

class CheckPropagationTest : public ::testing::TestWithParam<PropagationCase>
{
};

TEST_P(CheckPropagationTest, Tree)
{
    const PropagationCase& c = GetParam();
    CCheckTreeModel model;
    const auto items = treetest::Build(model, c.before);
    ASSERT_EQ(c.before, treetest::Describe(model));
    EXPECT_EQ(1, model.CheckItem(items.at(c.item), c.type));
    EXPECT_EQ(c.after, treetest::Describe(model));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, CheckPropagationTest, ::testing::Values(
    // A leaf toggled off among unchecked siblings clears the marks upward: 3 -> 1, 4 -> 2.
    PropagationCase{"LeafAmongUncheckedSiblings", "G4[P3[A2 B1 C1]]", "A", kToggle, "G2[P1[A1 B1 C1]]"},
    PropagationCase{"LeafUnderCheckedParent", "P4[A2 B1]", "A", kToggle, "P2[A1 B1]"},
    // Unchecking one of three checked children removes the parent's own tick; the
    // walk stops there.
    PropagationCase{"OneOfThreeUnchecked", "G4[P4[A2 B2 C2]]", "B", kUncheck, "G4[P3[A2 B1 C2]]"},
    PropagationCase{"UncheckBelowCheckedParent", "P2[A2 B2]", "A", kToggle, "P3[A1 B2]"},
    // Checking the last unchecked child of a parent in 3 makes the parent checked.
    PropagationCase{"LastUncheckedChildChecked", "P3[A2 B1]", "B", kCheck, "P4[A2 B2]"},
    PropagationCase{"LastChildMakesGrandparentChecked", "G3[P3[A2 B1] Q2]", "B", kToggle, "G4[P4[A2 B2] Q2]"},
    PropagationCase{"PartialParentWithUncheckedSibling", "P3[A2 B1 C1]", "B", kCheck, "P3[A2 B2 C1]"},
    // A first tick marks every ancestor.
    PropagationCase{"FirstTickMarksAncestors", "G1[P1[A1] Q1]", "A", kCheck, "G3[P3[A2] Q1]"},
    PropagationCase{"CheckedParentGetsSubMark", "P2[A1 B1]", "A", kCheck, "P4[A2 B1]"},
    PropagationCase{"GreyTickCountsAsTicked", "P1[A3[X2 Y1]]", "A", kToggle, "P3[A4[X2 Y1]]"},
    PropagationCase{"UncheckToGreyStillMarks", "P2[A4[X2]]", "A", kUncheck, "P4[A3[X2]]"},
    PropagationCase{"RecomputePropagates", "P1[A1[X2]]", "A", kRecompute, "P3[A3[X2]]"},
    // Unavailable items never change, not even by propagation, and the walk passes them.
    PropagationCase{"UnavailableParentOnCheck", "P5[A1 B2]", "A", kToggle, "P5[A2 B2]"},
    PropagationCase{"UnavailableParentOnUncheck", "P5[A2 B2]", "B", kUncheck, "P5[A2 B1]"},
    PropagationCase{"UnavailableItemItself", "P1[A5]", "A", kToggle, "P1[A5]"},
    PropagationCase{"WalkPassesUnavailableOnCheck", "G1[U5[A1]]", "A", kCheck, "G3[U5[A2]]"},
    PropagationCase{"WalkPassesUnavailableOnUncheck", "G3[U5[A2]]", "A", kUncheck, "G1[U5[A1]]"},
    // An item without a box never gets one.
    PropagationCase{"NoBoxParentOnUncheck", "N0[A2 B2]", "A", kUncheck, "N0[A1 B2]"},
    PropagationCase{"NoBoxParentOnCheck", "N0[A1 B1]", "A", kCheck, "N0[A2 B1]"},
    PropagationCase{"NoBoxPassedOnTheWayUp", "G1[N0[A1]]", "A", kCheck, "G3[N0[A2]]"},
    // Nothing changes, so nothing propagates.
    PropagationCase{"CheckingCheckedItem", "P1[A2]", "A", kCheck, "P1[A2]"},
    PropagationCase{"UncheckingUncheckedItem", "P4[A1]", "A", kUncheck, "P4[A1]"}),
    [](const ::testing::TestParamInfo<PropagationCase>& info) { return info.param.name; });
// clang-format on

struct ChildrenCase
{
    const char* before;
    const char* item;
    const char* after;
};

class CheckItemChildernTest : public ::testing::TestWithParam<ChildrenCase>
{
};

TEST_P(CheckItemChildernTest, PushesCheckedness)
{
    CCheckTreeModel model;
    const auto items = treetest::Build(model, GetParam().before);
    model.CheckItemChildern(items.at(GetParam().item));
    EXPECT_EQ(GetParam().after, treetest::Describe(model));
}

INSTANTIATE_TEST_SUITE_P(Trees, CheckItemChildernTest,
                         ::testing::Values(ChildrenCase{"P2[A1 B1[X1]]", "P", "P4[A2 B4[X2]]"},
                                           ChildrenCase{"P1[A2 B4[X2]]", "P", "P1[A1 B1[X1]]"},
                                           ChildrenCase{"P2[A1 B2]", "A", "P2[A1 B2]"},
                                           ChildrenCase{"P2[U5 A1]", "P", "P4[U5 A2]"}));

TEST(CheckAllTest, CheckAllThenUnCheckAll)
{
    CCheckTreeModel model;
    treetest::Build(model, "R1[A1 B1[X1] U5 N0]");
    model.CheckAll();
    EXPECT_EQ("R4[A2 B4[X2] U5 N0]", treetest::Describe(model));
    model.UnCheckAll();
    EXPECT_EQ("R1[A1 B1[X1] U5 N0]", treetest::Describe(model));
}

TEST(CheckAllTest, EmptyTree)
{
    CCheckTreeModel model;
    model.CheckAll();
    model.UnCheckAll();
    EXPECT_EQ(0u, model.GetCount());
}

// A subclass that vetoes checking some items sees every toggle CheckItemChildern makes.
class CVetoModel : public CCheckTreeModel
{
public:
    int CheckItem(TvTreeItem item, int type) override
    {
        ++calls;
        if (GetItemText(item) == "V")
            return 1;
        return CCheckTreeModel::CheckItem(item, type);
    }
    int calls = 0;
};

TEST(CheckItemChildernTest, GoesThroughAnOverriddenCheckItem)
{
    CVetoModel model;
    const auto items = treetest::Build(model, "P2[A1 V1 B1]");
    model.CheckItemChildern(items.at("P"));
    EXPECT_EQ(3, model.calls);
    EXPECT_EQ("P4[A2 V1 B2]", treetest::Describe(model));
}
