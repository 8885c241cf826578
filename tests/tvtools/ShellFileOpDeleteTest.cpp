#include "ShellFileOpTest.h"

#include "ShellFileOpTrash.h"

#include <cerrno>
#include <cstdlib>

using A = ShellConfirmAnswer;

namespace {

// "YYYY-MM-DDThh:mm:ss"
bool IsLocalTimeStamp(const std::string& text)
{
    const std::string shape = "dddd-dd-ddTdd:dd:dd";
    if (text.size() != shape.size())
        return false;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (shape[i] == 'd' ? !digit : text[i] != shape[i])
            return false;
    }
    return true;
}

std::string Trash(const std::string& rest)
{
    return std::string(std::getenv("XDG_DATA_HOME")) + "/Trash/" + rest;
}

} // namespace

TEST_F(ShellFileOpTest, DeleteRemovesTreesAndNeverFollowsLinks)
{
    File("d/tree/a");
    File("d/tree/deep/read-only", "b", 0400);
    File("outside/keep", "keep");
    Link("d/tree/to-outside", P("outside"));
    Link("d/link-to-outside", P("outside"));
    ASSERT_EQ(0, Do(FO_DELETE, {"d/tree", "d/link-to-outside/"}, {}, FOF_NOCONFIRMATION));
    EXPECT_FALSE(Has("d/tree"));
    EXPECT_FALSE(Has("d/link-to-outside")) << "the trailing separator names the link";
    EXPECT_EQ("keep", Read("outside/keep"));
}

TEST_F(ShellFileOpTest, DeleteWithWildcards)
{
    File("d/a.log");
    File("d/b.log");
    File("d/c.txt");
    File("d/noext");
    File("d/sub/x");
    ASSERT_EQ(0, Do(FO_DELETE, {"d/*.log"}, {}, FOF_NOCONFIRMATION));
    EXPECT_FALSE(Has("d/a.log"));
    EXPECT_TRUE(Has("d/c.txt"));
    ASSERT_EQ(0, Do(FO_DELETE, {"d/*.*"}, {}, FOF_NOCONFIRMATION | FOF_FILESONLY));
    EXPECT_FALSE(Has("d/noext"));
    EXPECT_TRUE(Has("d/sub/x")) << "files only";
    ASSERT_EQ(0, Do(FO_DELETE, {"d/*.*"}, {}, FOF_NOCONFIRMATION));
    EXPECT_FALSE(Has("d/sub"));
    EXPECT_TRUE(Has("d")) << "the folder of the pattern stays";
}

TEST_F(ShellFileOpTest, PermanentDeleteNeedsSomeoneToSayYes)
{
    File("d/a");
    File("d/b");
    EXPECT_EQ(ECANCELED, Do(FO_DELETE, {"d/a", "d/b"}, {}, 0));
    EXPECT_TRUE(m_op.AnyOperationsAborted());
    EXPECT_TRUE(Has("d/a"));

    Script({A::No});
    EXPECT_EQ(0, Do(FO_DELETE, {"d/a", "d/b"}, {}, 0));
    EXPECT_TRUE(m_op.AnyOperationsAborted());
    EXPECT_TRUE(Has("d/a"));
    ASSERT_EQ(1u, m_questions.size());
    EXPECT_EQ(ShellConfirmKind::Delete, m_questions[0].kind);
    EXPECT_EQ(P("d/a"), m_questions[0].source);
    EXPECT_EQ(2u, m_questions[0].count);

    Script({A::Cancel});
    EXPECT_EQ(ECANCELED, Do(FO_DELETE, {"d/a", "d/b"}, {}, 0));
    EXPECT_TRUE(Has("d/b"));

    Script({A::Yes});
    EXPECT_EQ(0, Do(FO_DELETE, {"d/a", "d/b"}, {}, 0));
    EXPECT_FALSE(m_op.AnyOperationsAborted());
    EXPECT_FALSE(Has("d/a"));
    EXPECT_FALSE(Has("d/b"));
}

TEST_F(ShellFileOpTest, DeleteRefusesMissingAndMeaninglessItems)
{
    Folder("d/sub");
    EXPECT_EQ(ENOENT, Do(FO_DELETE, {"d/missing"}, {}, FOF_NOCONFIRMATION));
    EXPECT_EQ(P("d/missing"), m_op.GetLastErrorPath());
    EXPECT_EQ(EINVAL, Do(FO_DELETE, {"d/sub/.."}, {}, FOF_NOCONFIRMATION));
    EXPECT_EQ(EINVAL, Do(FO_DELETE, {"d/."}, {}, FOF_NOCONFIRMATION));
    EXPECT_TRUE(Has("d/sub"));
}

TEST_F(ShellFileOpTest, AllowUndoMovesItemsToTheTrash)
{
    File("d/my file.txt", "first");
    File("d/folder/inner", "inner");
    File("outside/keep", "keep");
    Link("d/link", P("outside"));
    ASSERT_EQ(0, Do(FO_DELETE, {"d/my file.txt", "d/folder", "d/link"}, {}, FOF_ALLOWUNDO));
    EXPECT_FALSE(Has("d/my file.txt"));
    EXPECT_EQ("first", tbmtest::ReadFileBytes(Trash("files/my file.txt")));
    EXPECT_EQ("inner", tbmtest::ReadFileBytes(Trash("files/folder/inner")));
    EXPECT_EQ("keep", Read("outside/keep"));
    const std::string info = tbmtest::ReadFileBytes(Trash("info/my file.txt.trashinfo"));
    std::string escaped = P("d/my file.txt");
    escaped.replace(escaped.find(' '), 1, "%20");
    const std::string head = "[Trash Info]\nPath=" + escaped + "\nDeletionDate=";
    ASSERT_TRUE(info.starts_with(head)) << info;
    ASSERT_TRUE(info.ends_with("\n")) << info;
    EXPECT_TRUE(IsLocalTimeStamp(info.substr(head.size(), info.size() - head.size() - 1))) << info;

    File("d/my file.txt", "second");
    ASSERT_EQ(0, Do(FO_DELETE, {"d/my file.txt"}, {}, FOF_ALLOWUNDO));
    EXPECT_EQ("second", tbmtest::ReadFileBytes(Trash("files/my file.txt.2")));
    EXPECT_TRUE(Has(Trash("info/my file.txt.2.trashinfo")));
    EXPECT_EQ(0700u, Stat(Trash("files")).st_mode & 0777);
}

TEST_F(ShellFileOpTest, FailedTrashMoveKeepsTheItemAndLeavesNoInfo)
{
    File("d/a", "a");
    m_op.SetRenameFunction([](const std::string&, const std::string&, bool) { return EIO; });
    EXPECT_EQ(EIO, Do(FO_DELETE, {"d/a"}, {}, FOF_ALLOWUNDO | FOF_NOCONFIRMATION));
    EXPECT_EQ("a", Read("d/a"));
    EXPECT_FALSE(Has(Trash("info/a.trashinfo")));
}

TEST(ShellTrashInfoTest, EscapesEverythingButPlainCharacters)
{
    const std::string text = tvshell::TrashInfoText("/a b/%x/ü~_.-", 0);
    EXPECT_NE(std::string::npos, text.find("Path=/a%20b/%25x/%C3%BC~_.-\n")) << text;
}
