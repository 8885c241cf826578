// Ownership of CAutoObArray: every object deleted exactly once (AddressSanitizer
// reports a second delete), also across a hand-over.
#include "AutoObArray.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace {

// Counts live objects and remembers which ones were deleted, so a test can tell
// "deleted once" from "never deleted".
class CCounted
{
public:
    explicit CCounted(int id) : m_id(id) { Live().insert(id); }
    ~CCounted() { EXPECT_EQ(1u, Live().erase(m_id)) << "object " << m_id << " deleted twice"; }
    CCounted(const CCounted&) = delete;
    CCounted& operator=(const CCounted&) = delete;

    int Id() const { return m_id; }
    static std::set<int>& Live()
    {
        static std::set<int> live;
        return live;
    }

private:
    int m_id;
};

class AutoObArrayTest : public ::testing::Test
{
protected:
    void SetUp() override { CCounted::Live().clear(); }
    void TearDown() override { EXPECT_TRUE(CCounted::Live().empty()) << "objects leaked"; }

    static void Fill(CAutoObArray<CCounted>& list, int from, int count)
    {
        for (int id = from; id < from + count; ++id)
            list.Add(std::make_unique<CCounted>(id));
    }
};

TEST_F(AutoObArrayTest, OwningListDeletesItsObjectsWhenDestroyedAndWhenCleared)
{
    {
        CAutoObArray<CCounted> list;
        EXPECT_TRUE(list.GetOwnsObjects());
        Fill(list, 1, 3);
        list.RemoveAll();
        EXPECT_TRUE(CCounted::Live().empty());
        Fill(list, 4, 2);
    }
    EXPECT_TRUE(CCounted::Live().empty());
}

TEST_F(AutoObArrayTest, ListWithoutTheFlagLeavesItsObjectsAlone)
{
    CCounted kept(7);
    {
        CAutoObArray<CCounted> view;
        view.SetOwnsObjects(false);
        view.Add(&kept);
        EXPECT_THROW(view.Add(std::make_unique<CCounted>(8)), std::logic_error);
    }
    EXPECT_EQ(std::set<int>({7}), CCounted::Live());
}

TEST_F(AutoObArrayTest, HandOverMakesTheReceiverTheOnlyOwner)
{
    CAutoObArray<CCounted> gathered;
    Fill(gathered, 100, 1);
    {
        CAutoObArray<CCounted> source;
        Fill(source, 1, 3);
        source.HandOverTo(gathered);
        EXPECT_FALSE(source.GetOwnsObjects());
        // The giver still sees its entries while the receiver holds them.
        ASSERT_EQ(3u, source.GetSize());
        EXPECT_EQ(2, source[1]->Id());
    }
    ASSERT_EQ(4u, gathered.GetSize());
    EXPECT_EQ(100, gathered[0]->Id());
    EXPECT_EQ(3, gathered[3]->Id());
    EXPECT_EQ(4u, CCounted::Live().size());
    gathered.RemoveAll();
    EXPECT_TRUE(CCounted::Live().empty());
}

TEST_F(AutoObArrayTest, GiverOwnsWhatItCollectsAfterBeingEmptied)
{
    CAutoObArray<CCounted> source;
    CAutoObArray<CCounted> gathered;
    Fill(source, 1, 2);
    source.HandOverTo(gathered);
    // A handed-over list is refused new objects until it lets go of the borrowed ones.
    EXPECT_THROW(source.Add(std::make_unique<CCounted>(3)), std::logic_error);
    source.RemoveAll();
    EXPECT_TRUE(source.GetOwnsObjects());
    EXPECT_EQ(2u, CCounted::Live().size());
    Fill(source, 10, 2);
    gathered.RemoveAll();
    EXPECT_EQ(std::set<int>({10, 11}), CCounted::Live());
}

TEST_F(AutoObArrayTest, BorrowedListCannotBeHandedOnOrReceive)
{
    CAutoObArray<CCounted> owner;
    Fill(owner, 1, 1);
    CAutoObArray<CCounted> borrowed;
    borrowed.SetOwnsObjects(false);
    borrowed.Add(owner[0]);
    CAutoObArray<CCounted> other;
    EXPECT_THROW(borrowed.HandOverTo(other), std::logic_error);
    EXPECT_THROW(owner.HandOverTo(borrowed), std::logic_error);
    EXPECT_TRUE(owner.GetOwnsObjects());
    EXPECT_EQ(0u, other.GetSize());
}

TEST_F(AutoObArrayTest, InsertAndAssignKeepOrderAndOwnership)
{
    CAutoObArray<CCounted> list;
    Fill(list, 1, 2);
    list.InsertAt(0, std::make_unique<CCounted>(0));
    list.InsertAt(99, std::make_unique<CCounted>(3));
    ASSERT_EQ(4u, list.GetSize());
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(i, list[static_cast<std::size_t>(i)]->Id());
    std::vector<std::unique_ptr<CCounted>> replacement;
    replacement.push_back(std::make_unique<CCounted>(50));
    list.Assign(std::move(replacement));
    EXPECT_EQ(std::set<int>({50}), CCounted::Live());
    EXPECT_THROW(list.GetAt(1), std::out_of_range);
}

} // namespace
