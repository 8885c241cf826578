#include "ShellFileOpTest.h"

#include "ShellFileOpFs.h"

#include <sys/stat.h>

#include <cerrno>

namespace {

// A rename that always finds the target on another device, as a move between two
// file systems does.
int CrossDevice(const std::string&, const std::string&, bool)
{
    return EXDEV;
}

} // namespace

TEST_F(ShellFileOpTest, MoveRenamesWithinTheFileSystem)
{
    File("src/a.txt", "A");
    File("src/d/inner", "I");
    const ino_t inode = Stat("src/a.txt").st_ino;
    ASSERT_EQ(0, Do(FO_MOVE, {"src/a.txt", "src/d"}, {"dst"}, 0));
    EXPECT_EQ(inode, Stat("dst/a.txt").st_ino) << "a rename keeps the file itself";
    EXPECT_EQ("I", Read("dst/d/inner"));
    EXPECT_FALSE(Has("src/a.txt"));
    EXPECT_FALSE(Has("src/d"));
}

TEST_F(ShellFileOpTest, MoveAcrossDevicesCopiesThenDeletesTheSource)
{
    File("src/a.txt", "A", 0640);
    SetTime("src/a.txt", 1000000000, 42);
    File("src/d/deep/inner", "I");
    Link("src/d/link", "deep/inner");
    m_op.SetRenameFunction(CrossDevice);
    ASSERT_EQ(0, Do(FO_MOVE, {"src/a.txt", "src/d"}, {"dst"}, 0));
    EXPECT_EQ("A", Read("dst/a.txt"));
    EXPECT_EQ(0640u, Stat("dst/a.txt").st_mode & 0777);
    EXPECT_EQ(1000000000, Stat("dst/a.txt").st_mtim.tv_sec);
    EXPECT_EQ("I", Read("dst/d/deep/inner"));
    EXPECT_TRUE(S_ISLNK(Stat("dst/d/link").st_mode));
    EXPECT_FALSE(Has("src/a.txt"));
    EXPECT_FALSE(Has("src/d"));
}

TEST_F(ShellFileOpTest, MoveAcrossDevicesReplacesAfterConfirmation)
{
    File("src/a", "new");
    File("dst/a", "old");
    m_op.SetRenameFunction(CrossDevice);
    Script({ShellConfirmAnswer::Yes});
    ASSERT_EQ(0, Do(FO_MOVE, {"src/a"}, {"dst"}, 0));
    EXPECT_EQ("new", Read("dst/a"));
    EXPECT_FALSE(Has("src/a"));
}

TEST_F(ShellFileOpTest, FailedCrossDeviceCopyKeepsTheWholeSource)
{
    File("src/d/1", "one");
    ASSERT_EQ(0, mkfifo(P("src/d/2").c_str(), 0600));
    File("src/d/3", "three");
    m_op.SetRenameFunction(CrossDevice);
    EXPECT_EQ(EOPNOTSUPP, Do(FO_MOVE, {"src/d"}, {"dst"}, 0));
    EXPECT_EQ("one", Read("src/d/1"));
    EXPECT_EQ("three", Read("src/d/3"));
    EXPECT_TRUE(Has("src/d/2"));
}

TEST_F(ShellFileOpTest, MoveFailureOtherThanCrossDeviceIsReported)
{
    File("src/a");
    m_op.SetRenameFunction([](const std::string&, const std::string&, bool) { return EPERM; });
    EXPECT_EQ(EPERM, Do(FO_MOVE, {"src/a"}, {"dst"}, 0));
    EXPECT_EQ(P("src/a"), m_op.GetLastErrorPath());
    EXPECT_TRUE(Has("src/a"));
    EXPECT_FALSE(Has("dst/a"));
}

TEST_F(ShellFileOpTest, MoveOntoItselfIsRefused)
{
    File("d/a", "keep");
    EXPECT_EQ(EINVAL, Do(FO_MOVE, {"d/a"}, {"d"}, FOF_NOCONFIRMATION));
    EXPECT_EQ("keep", Read("d/a"));
}

TEST_F(ShellFileOpTest, RenameChangesTheNameOfOneItem)
{
    File("d/old.txt", "content");
    Folder("d/folder");
    ASSERT_EQ(0, Do(FO_RENAME, {"d/old.txt"}, {"d/new.txt"}, 0));
    EXPECT_EQ("content", Read("d/new.txt"));
    EXPECT_FALSE(Has("d/old.txt"));
    ASSERT_EQ(0, Do(FO_RENAME, {"d/folder"}, {"d/renamed"}, 0));
    EXPECT_TRUE(Has("d/renamed"));
    EXPECT_EQ(0, Do(FO_RENAME, {"d/new.txt"}, {"d/new.txt"}, 0)) << "same name: nothing to do";
    EXPECT_EQ(ENOENT, Do(FO_RENAME, {"d/missing"}, {"d/x"}, 0));
}

TEST_F(ShellFileOpTest, RenameToABareNameStaysInTheSameFolder)
{
    File("d/old.txt", "content");
    m_op.AddFile(CShellFileOp::kSourceList, P("d/old.txt"));
    m_op.AddFile(CShellFileOp::kTargetList, "new.txt");
    ASSERT_EQ(0, m_op.RenameFiles());
    EXPECT_EQ("content", Read("d/new.txt"));
}

TEST_F(ShellFileOpTest, RenameFollowsTheConflictRules)
{
    File("d/a", "a");
    File("d/b", "b");
    Folder("d/f");
    Folder("d/g");
    EXPECT_EQ(EEXIST, Do(FO_RENAME, {"d/a"}, {"d/b"}, 0));
    EXPECT_TRUE(m_op.AnyOperationsAborted());
    EXPECT_EQ("b", Read("d/b"));
    ASSERT_EQ(0, Do(FO_RENAME, {"d/a"}, {"d/b"}, FOF_RENAMEONCOLLISION));
    EXPECT_EQ("a", Read("d/Copy of b"));
    ASSERT_EQ(0, Do(FO_RENAME, {"d/Copy of b"}, {"d/b"}, FOF_NOCONFIRMATION));
    EXPECT_EQ("a", Read("d/b"));
    EXPECT_EQ(EEXIST, Do(FO_RENAME, {"d/f"}, {"d/g"}, FOF_NOCONFIRMATION))
        << "renaming onto a folder would merge, not rename";
    EXPECT_TRUE(Has("d/f"));
}

TEST_F(ShellFileOpTest, RenameTakesExactlyOneItem)
{
    File("d/a");
    File("d/b");
    EXPECT_EQ(EINVAL, Do(FO_RENAME, {"d/a", "d/b"}, {"x", "y"}, FOF_MULTIDESTFILES));
    EXPECT_EQ(EINVAL, Do(FO_RENAME, {"d/*"}, {"x"}, 0));
    EXPECT_EQ(EINVAL, Do(FO_RENAME, {"d/a"}, {}, 0));
    EXPECT_TRUE(Has("d/a"));
    EXPECT_TRUE(Has("d/b"));
}

TEST_F(ShellFileOpTest, HardLinkedNamesAreNotRenamedOntoEachOther)
{
    File("d/a", "one file");
    ASSERT_EQ(0, link(P("d/a").c_str(), P("d/b").c_str()));
    EXPECT_EQ(EINVAL, Do(FO_RENAME, {"d/a"}, {"d/b"}, FOF_NOCONFIRMATION));
    EXPECT_TRUE(Has("d/a"));
}

TEST(ShellRenamePathTest, WithoutReplaceAnExistingTargetStays)
{
    tbmtest::TempDir dir;
    tbmtest::WriteFileBytes(dir / "a", "a");
    tbmtest::WriteFileBytes(dir / "b", "b");
    EXPECT_EQ(EEXIST, tvshell::RenamePath(dir / "a", dir / "b", false));
    EXPECT_EQ("b", tbmtest::ReadFileBytes(dir / "b"));
    EXPECT_EQ(0, tvshell::RenamePath(dir / "a", dir / "b", true));
    EXPECT_EQ("a", tbmtest::ReadFileBytes(dir / "b"));
}
