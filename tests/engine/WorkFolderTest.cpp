// The work folder: private to the user, never a link, cleared without leaving it.
#include "WorkFolder.h"
#include "EngineTest.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace enginetest;

namespace {

class WorkFolderTest : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        g_ProjectData.SetWorkFolderPath({});
        RemoveTree(DefaultFolder());
        unlink(DefaultFolder().c_str());
    }
    void TearDown() override
    {
        RemoveTree(DefaultFolder());
        unlink(DefaultFolder().c_str());
        EngineTest::TearDown();
    }
    static std::string DefaultFolder() { return TvGetTempPath() + "/TBackupTempDir"; }
};

TEST_F(WorkFolderTest, DefaultFolderIsMadePrivateAndRememberedInBothPlaces)
{
    const std::string folder = g_ProjectData.GetWorkFolder();
    EXPECT_EQ(DefaultFolder(), folder);
    EXPECT_EQ(0700, ModeOf(folder));
    EXPECT_EQ(folder, g_ProjectData.GetWorkFolderPath());
    EXPECT_EQ(folder, g_Preferences.m_strTempLevel);
    EXPECT_EQ(folder + "/treeobj.tdat", g_ProjectData.GetPathInWorkFolder("treeobj.tdat"));
}

TEST_F(WorkFolderTest, JobsFolderComesBeforeTheProcessWideOne)
{
    g_Preferences.m_strTempLevel = m_workFolder;
    EXPECT_EQ(m_workFolder, g_ProjectData.GetWorkFolder());
    EXPECT_EQ("", g_ProjectData.GetWorkFolderPath());
    const std::string own = tbm::CreateTempFolder({});
    g_ProjectData.SetWorkFolderPath(own);
    EXPECT_EQ(own, g_ProjectData.GetWorkFolder());
    RemoveTree(own);
}

TEST_F(WorkFolderTest, MissingFoldersAreNotUsed)
{
    g_ProjectData.SetWorkFolderPath(m_dir / "gone");
    g_Preferences.m_strTempLevel = m_dir / "gone too";
    EXPECT_EQ(DefaultFolder(), g_ProjectData.GetWorkFolder());
}

TEST_F(WorkFolderTest, LinkedDefaultNameIsNotUsedAndAFreshPrivateFolderIsMade)
{
    const std::string elsewhere = m_dir / "elsewhere";
    tbm::CreateFolderPath(elsewhere);
    ASSERT_EQ(0, symlink(elsewhere.c_str(), DefaultFolder().c_str()));
    const std::string folder = g_ProjectData.GetWorkFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(DefaultFolder(), folder);
    EXPECT_EQ(0700, ModeOf(folder));
    EXPECT_EQ(folder, g_Preferences.m_strTempLevel);
    // A link set as the job's or the process's folder is passed over too.
    CProjectData other;
    other.SetWorkFolderPath(DefaultFolder());
    g_Preferences.m_strTempLevel = DefaultFolder();
    EXPECT_NE(DefaultFolder(), other.GetWorkFolder());
    RemoveTree(folder);
}

TEST_F(WorkFolderTest, FileInTheWayOfTheDefaultNameIsLeftAlone)
{
    tbmtest::WriteFileBytes(DefaultFolder(), "someone's file");
    const std::string folder = g_ProjectData.GetWorkFolder();
    EXPECT_NE(DefaultFolder(), folder);
    EXPECT_EQ("someone's file", tbmtest::ReadFileBytes(DefaultFolder()));
    RemoveTree(folder);
}

// Only root can give a folder to someone else, so this runs only as root.
TEST_F(WorkFolderTest, FolderOwnedBySomeoneElseIsNotUsed)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to hand a folder to another user";
    mkdir(DefaultFolder().c_str(), 0700);
    ASSERT_EQ(0, chown(DefaultFolder().c_str(), 65534, 65534));
    const std::string folder = g_ProjectData.GetWorkFolder();
    EXPECT_NE(DefaultFolder(), folder);
    EXPECT_EQ(0700, ModeOf(folder));
    EXPECT_FALSE(CWorkFolder::Clear(DefaultFolder()));
    RemoveTree(folder);
}

TEST_F(WorkFolderTest, WiderModeIsNarrowedToTheUser)
{
    mkdir(DefaultFolder().c_str(), 0777);
    chmod(DefaultFolder().c_str(), 0777);
    EXPECT_EQ(DefaultFolder(), g_ProjectData.GetWorkFolder());
    EXPECT_EQ(0700, ModeOf(DefaultFolder()));
}

TEST_F(WorkFolderTest, ClearingEmptiesTheFolderWithoutFollowingLinksOut)
{
    const std::string work = g_ProjectData.GetWorkFolder();
    const std::string outside = m_dir / "outside";
    tbm::CreateFolderPath(outside);
    tbmtest::WriteFileBytes(outside + "/precious.txt", "keep");
    tbmtest::WriteFileBytes(work + "/maindata.ini", "x");
    tbm::CreateFolderPath(work + "/sub/deeper");
    tbmtest::WriteFileBytes(work + "/sub/deeper/f", "x");
    ASSERT_EQ(0, symlink(outside.c_str(), (work + "/link").c_str()));
    ASSERT_EQ(0, symlink(outside.c_str(), (work + "/sub/link").c_str()));

    EXPECT_TRUE(g_ProjectData.ClearWorkFolder());
    std::vector<std::string> left;
    tbm::ListFolder(work, "*", true, left);
    EXPECT_TRUE(left.empty());
    EXPECT_EQ(0, ModeOf(work + "/sub"));
    EXPECT_EQ(0, ModeOf(work + "/link"));
    EXPECT_EQ(0700, ModeOf(work));
    EXPECT_EQ("keep", tbmtest::ReadFileBytes(outside + "/precious.txt"));
}

TEST_F(WorkFolderTest, FolderOutsideTheTemporaryFolderIsNeverCleared)
{
    const std::string mine = m_dir / "mine";
    tbm::CreateFolderPath(mine);
    chmod(mine.c_str(), 0700);
    tbmtest::WriteFileBytes(mine + "/f", "keep");
    for (const std::string& path :
         {mine, TvGetTempPath(),
          TvGetTempPath() + "/../" + m_dir.Path().filename().string() + "/mine"}) {
        EXPECT_FALSE(CWorkFolder::Clear(path)) << path;
    }
    EXPECT_EQ("keep", tbmtest::ReadFileBytes(mine + "/f"));
}

TEST_F(WorkFolderTest, LinkToAFolderInsideTheTemporaryFolderIsNotCleared)
{
    const std::string real = g_ProjectData.GetWorkFolder();
    tbmtest::WriteFileBytes(real + "/f", "keep");
    const std::string link = TvGetTempPath() + "/work-link";
    ASSERT_EQ(0, symlink(real.c_str(), link.c_str()));
    EXPECT_FALSE(CWorkFolder::Clear(link));
    EXPECT_EQ("keep", tbmtest::ReadFileBytes(real + "/f"));
    unlink(link.c_str());
}

} // namespace
