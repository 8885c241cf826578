#include "ShellFileOpTest.h"

#include <cerrno>

using Answers = std::vector<ShellConfirmAnswer>;
using A = ShellConfirmAnswer;

// One file "a.txt" ("new") copied or moved onto an existing "a.txt" ("old").
struct ConflictCase
{
    const char* name;
    std::uint16_t flags;
    bool withCallback;
    Answers answers;
    int result;
    bool aborted;
    const char* target; // content of dst/a.txt afterwards
    bool copyNamed;     // "Copy of a.txt" made with the new content
};

class ShellFileOpConflictTest
    : public ShellFileOpTest,
      public ::testing::WithParamInterface<std::tuple<unsigned, ConflictCase>>
{
};

TEST_P(ShellFileOpConflictTest, AppliesTheRule)
{
    const auto& [operation, c] = GetParam();
    File("src/a.txt", "new");
    File("dst/a.txt", "old");
    if (c.withCallback)
        Script(c.answers);
    EXPECT_EQ(c.result, Do(operation, {"src/a.txt"}, {"dst"}, c.flags));
    EXPECT_EQ(c.aborted, m_op.AnyOperationsAborted());
    EXPECT_EQ(c.target, Read("dst/a.txt"));
    EXPECT_EQ(c.copyNamed, Has("dst/Copy of a.txt"));
    if (c.copyNamed) {
        EXPECT_EQ("new", Read("dst/Copy of a.txt"));
    }
    const bool moved = std::string(c.target) == "new" || c.copyNamed;
    EXPECT_EQ(operation == FO_COPY || !moved, Has("src/a.txt"));
    if (c.withCallback && !(c.flags & (FOF_NOCONFIRMATION | FOF_RENAMEONCOLLISION))) {
        ASSERT_EQ(1u, m_questions.size());
        EXPECT_EQ(ShellConfirmKind::Replace, m_questions[0].kind);
        EXPECT_EQ(P("src/a.txt"), m_questions[0].source);
        EXPECT_EQ(P("dst/a.txt"), m_questions[0].target);
    } else {
        EXPECT_TRUE(m_questions.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ShellFileOpConflictTest,
    ::testing::Combine(
        ::testing::Values(FO_COPY, FO_MOVE),
        ::testing::Values(
            ConflictCase{
                "NoConfirmationReplaces", FOF_NOCONFIRMATION, false, {}, 0, false, "new", false},
            ConflictCase{
                "RenameOnCollision", FOF_RENAMEONCOLLISION, true, {}, 0, false, "old", true},
            ConflictCase{"NobodyToAskKeepsTarget", 0, false, {}, EEXIST, true, "old", false},
            ConflictCase{"Yes", 0, true, {A::Yes}, 0, false, "new", false},
            ConflictCase{"YesToAll", 0, true, {A::YesToAll}, 0, false, "new", false},
            ConflictCase{"NoSkips", 0, true, {A::No}, 0, true, "old", false},
            ConflictCase{"Cancel", 0, true, {A::Cancel}, ECANCELED, true, "old", false},
            ConflictCase{"UnknownAnswerCancels",
                         0,
                         true,
                         {static_cast<A>(42)},
                         ECANCELED,
                         true,
                         "old",
                         false})),
    [](const auto& info) {
        return std::string(std::get<0>(info.param) == FO_COPY ? "Copy" : "Move") +
               std::get<1>(info.param).name;
    });

TEST_F(ShellFileOpTest, YesToAllAnswersEveryLaterQuestion)
{
    for (const char* name : {"1", "2", "3"}) {
        File(std::string("src/") + name, "new");
        File(std::string("dst/") + name, "old");
    }
    Script({A::YesToAll});
    ASSERT_EQ(0, Do(FO_COPY, {"src/*"}, {"dst"}, 0));
    EXPECT_EQ(1u, m_questions.size());
    for (const char* name : {"1", "2", "3"})
        EXPECT_EQ("new", Read(std::string("dst/") + name));
}

TEST_F(ShellFileOpTest, NoSkipsOneItemAndTheBatchGoesOn)
{
    for (const char* name : {"1", "2"}) {
        File(std::string("src/") + name, "new");
        File(std::string("dst/") + name, "old");
    }
    Script({A::No, A::Yes});
    EXPECT_EQ(0, Do(FO_MOVE, {"src/1", "src/2"}, {"dst"}, 0));
    EXPECT_TRUE(m_op.AnyOperationsAborted());
    EXPECT_EQ("old", Read("dst/1"));
    EXPECT_EQ("new", Read("dst/2"));
    EXPECT_TRUE(Has("src/1"));
    EXPECT_FALSE(Has("src/2"));

    Script({A::Yes});
    EXPECT_EQ(0, Do(FO_MOVE, {"src/1"}, {"dst"}, 0));
    EXPECT_FALSE(m_op.AnyOperationsAborted()) << "each run starts with the flag cleared";
}

TEST_F(ShellFileOpTest, RenameOnCollisionCountsCopies)
{
    File("src/a", "3");
    File("dst/a", "0");
    File("dst/Copy of a", "1");
    File("dst/Copy (2) of a", "2");
    ASSERT_EQ(0, Do(FO_COPY, {"src/a"}, {"dst"}, FOF_RENAMEONCOLLISION));
    EXPECT_EQ("3", Read("dst/Copy (3) of a"));
    EXPECT_EQ("0", Read("dst/a"));
}

TEST_F(ShellFileOpTest, YesToAFolderMergesEverythingInside)
{
    for (const unsigned operation : {FO_COPY, FO_MOVE}) {
        File("src/d/same", "new");
        File("src/d/deep/same", "new");
        File("src/d/added", "added");
        File("dst/d/same", "old");
        File("dst/d/deep/same", "old");
        File("dst/d/kept", "kept");
        m_questions.clear();
        Script({A::Yes});
        ASSERT_EQ(0, Do(operation, {"src/d"}, {"dst"}, 0));
        ASSERT_EQ(1u, m_questions.size()) << "only the folder is asked about";
        EXPECT_EQ(P("dst/d"), m_questions[0].target);
        EXPECT_EQ("new", Read("dst/d/same"));
        EXPECT_EQ("new", Read("dst/d/deep/same"));
        EXPECT_EQ("added", Read("dst/d/added"));
        EXPECT_EQ("kept", Read("dst/d/kept"));
        EXPECT_EQ(operation == FO_COPY, Has("src/d")) << operation;
        std::filesystem::remove_all(P("src"));
        std::filesystem::remove_all(P("dst"));
    }
}

TEST_F(ShellFileOpTest, FolderMergeMoveKeepsWhatTheUserSkipped)
{
    File("src/d/skip", "new");
    File("src/d/take", "new");
    File("dst/d/skip", "old");
    File("dst/d/take", "old");
    // The folder question answered no: nothing moves.
    Script({A::No});
    EXPECT_EQ(0, Do(FO_MOVE, {"src/d"}, {"dst"}, 0));
    EXPECT_EQ("old", Read("dst/d/take"));
    EXPECT_TRUE(Has("src/d/take"));
}

TEST_F(ShellFileOpTest, FileAndFolderNeverReplaceEachOther)
{
    File("src/d", "a file named d");
    Folder("src2/f");
    File("dst/d/inside", "kept");
    File("dst/f", "a file named f");
    Folder("outside");
    Link("dst/l", P("outside"));
    Folder("src3/l");
    File("src3/l/x");
    for (const std::uint16_t flags : {std::uint16_t(0), FOF_NOCONFIRMATION}) {
        EXPECT_EQ(EEXIST, Do(FO_COPY, {"src/d"}, {"dst"}, flags));
        EXPECT_EQ(EEXIST, Do(FO_MOVE, {"src2/f"}, {"dst"}, flags));
        EXPECT_EQ(EEXIST, Do(FO_COPY, {"src3/l"}, {"dst"}, flags)) << "a link is no folder";
    }
    EXPECT_EQ("kept", Read("dst/d/inside"));
    EXPECT_EQ("a file named f", Read("dst/f"));
    EXPECT_FALSE(Has("outside/x"));
}
