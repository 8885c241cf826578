#include "BackupManger.h"
#include "CheckTreeModel.h"
#include "MyFilesData.h"
#include "ProjectData.h"
#include "ResultCodes.h"
#include "ScriptedPrompt.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <set>
#include <string>

namespace {

using namespace tvcheck;

// Collecting over the folder tree: what the user checked, folders never opened
// taken whole, and the selection kept as "Shell.xsel" for the next run.
class MyFilesTreeCollectTest : public tbmtest::TempDirTest
{
protected:
    void SetUp() override
    {
        g_ProjectData = CProjectData();
        char real[PATH_MAX];
        ASSERT_NE(realpath(m_dir.Str().c_str(), real), nullptr);
        m_data = std::string(real) + "/data";
        for (const char* folder : {"", "/keep", "/keep/deep", "/skip", "/work"})
            mkdir((m_data + folder).c_str(), 0700);
        for (const char* file : {"/keep/a.doc", "/keep/deep/b.doc", "/keep/README", "/keep/x.txt",
                                 "/skip/s.doc", "/top.doc", "/top.txt", "/work/maindata.ini"})
            tbmtest::WriteFileBytes(m_data + file, "data");
        ASSERT_EQ(symlink("keep", (m_data + "/link").c_str()), 0);
        g_ProjectData.SetWorkFolderPath(m_data + "/work");
        g_ProjectData.m_strOutputPath = m_dir / "out.tbm";
        m_engine.SetMyFiles(NewSource());
    }
    void TearDown() override { g_ProjectData = CProjectData(); }

    std::unique_ptr<CMyFilesData> NewSource()
    {
        auto source = std::make_unique<CMyFilesData>();
        m_pMyFiles = source.get();
        return source;
    }

    // The collected files below the data folder, the catalogue left out; the folders
    // go to m_Folders. No entry name comes twice, and a folder's ends in "\".
    std::set<std::string> Collected()
    {
        std::string catalogue;
        EXPECT_EQ(m_pMyFiles->Collect(catalogue), result::kSuccess);
        std::set<std::string> paths;
        std::set<std::string> names;
        m_Folders.clear();
        for (const CAddInfo* info : m_pMyFiles->GetItemList()) {
            if (info->m_dwKind != CMyFilesData::kKind)
                continue;
            EXPECT_TRUE(names.insert(info->m_strEntryName).second) << info->m_strEntryName;
            const std::string path = info->m_strSourcePath.substr(m_data.size());
            if (info->m_dwDirectory) {
                EXPECT_EQ(info->m_strEntryName.back(), '\\');
                m_Folders.insert(path);
            } else {
                paths.insert(path);
            }
        }
        return paths;
    }

    std::string m_data;
    std::set<std::string> m_Folders;
    CBackupManger m_engine;
    CMyFilesData* m_pMyFiles = nullptr;
    tbmtest::CScriptedPrompt m_prompt;
};

TEST_F(MyFilesTreeCollectTest, NeverOpenedFolderIsTakenWholeThroughTheFilter)
{
    CFolderTree& folders = m_pMyFiles->GetFolderTree();
    const TvTreeItem keep = folders.FindFolder(m_data + "/keep");
    folders.CheckFolder(keep, true);
    g_ProjectData.m_dwFilterMode = 1;
    g_ProjectData.m_IncludeList = {"*.doc"};
    EXPECT_EQ(Collected(), (std::set<std::string>{"/keep/a.doc", "/keep/deep/b.doc"}));
    EXPECT_EQ(m_Folders, (std::set<std::string>{"/keep", "/keep/deep"}));
    EXPECT_FALSE(folders.GetNode(keep)->m_bOpened);
}

TEST_F(MyFilesTreeCollectTest, OpenedFolderGivesItsCheckedFilesAndCheckedChildren)
{
    CFolderTree& folders = m_pMyFiles->GetFolderTree();
    CCheckTreeModel& tree = m_pMyFiles->GetTree();
    const TvTreeItem data = folders.FindFolder(m_data);
    folders.CheckFolder(data, true);
    folders.OpenFolder(data);
    folders.FindFile(data, "top.txt")->m_nState = kUnchecked;
    tree.CheckItem(folders.FindFolder(m_data + "/skip"), kUncheck);
    const TvTreeItem keep = folders.FindFolder(m_data + "/keep");
    folders.OpenFolder(keep);
    folders.FindFile(keep, "x.txt")->m_nState = kUnchecked;

    // The link is a file of its own, the work folder stays out although checked.
    EXPECT_EQ(Collected(), (std::set<std::string>{"/keep/README", "/keep/a.doc", "/keep/deep/b.doc",
                                                  "/link", "/top.doc"}));
    // Every chosen folder, opened or walked, has an entry; "/skip" is unchecked.
    EXPECT_EQ(m_Folders, (std::set<std::string>{"", "/keep", "/keep/deep"}));
    for (const CAddInfo* info : m_pMyFiles->GetItemList())
        if (info->m_strSourcePath == m_data + "/link") {
            EXPECT_EQ(info->m_dwDirectory, 0u);
            EXPECT_EQ(info->m_dwSize, 4u); // "keep"
            EXPECT_EQ(info->m_strTreePath, CMyFilesData::GetTreePath(m_data + "/link"));
        }
}

// The user opens folders, then works on: what is made afterwards in a checked folder
// is backed up, in an unchecked one it is not, and the page's refresh shows it.
TEST_F(MyFilesTreeCollectTest, WhatAppearsAfterAFolderWasOpenedIsCollected)
{
    CFolderTree& folders = m_pMyFiles->GetFolderTree();
    CCheckTreeModel& tree = m_pMyFiles->GetTree();
    const TvTreeItem keep = folders.FindFolder(m_data + "/keep");
    folders.CheckFolder(keep, true);
    folders.OpenFolder(keep);
    const TvTreeItem skip = folders.FindFolder(m_data + "/skip");
    folders.OpenFolder(skip);
    tbmtest::WriteFileBytes(m_data + "/keep/new.doc", "new");
    ASSERT_EQ(mkdir((m_data + "/keep/later").c_str(), 0700), 0);
    tbmtest::WriteFileBytes(m_data + "/keep/later/c.doc", "c");
    tbmtest::WriteFileBytes(m_data + "/skip/t.doc", "t");
    folders.FindFile(keep, "README")->m_nState = kUnchecked;

    EXPECT_EQ(Collected(), (std::set<std::string>{"/keep/a.doc", "/keep/deep/b.doc",
                                                  "/keep/later/c.doc", "/keep/new.doc",
                                                  "/keep/x.txt"}));

    ASSERT_EQ(unlink((m_data + "/keep/x.txt").c_str()), 0);
    folders.RefreshFolder(keep);
    ASSERT_NE(folders.FindFile(keep, "new.doc"), nullptr);
    EXPECT_TRUE(folders.FindFile(keep, "new.doc")->IsChecked());
    EXPECT_EQ(folders.FindFile(keep, "x.txt"), nullptr);
    EXPECT_FALSE(folders.FindFile(keep, "README")->IsChecked());
    const TvTreeItem later = folders.FindFolder(m_data + "/keep/later");
    ASSERT_TRUE(later);
    EXPECT_TRUE(tree.IsItemChecked(later));
    EXPECT_TRUE(folders.ListNewEntries(keep).empty());
}

TEST_F(MyFilesTreeCollectTest, CommandLinePathsAreSavedAndALaterRunLoadsThem)
{
    g_ProjectData.m_strJobName = "Tree job";
    ASSERT_EQ(g_ProjectData.SaveJob(), true);
    char cwd[PATH_MAX];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir(m_data.c_str()), 0);
    // Relative and linked spellings end on the tree's own items; a missing path is
    // asked about when collecting.
    m_pMyFiles->SetSelection(
        {"keep/deep", m_data + "/link/../top.doc", m_data + "/link", m_data + "/gone.txt"});
    ASSERT_EQ(chdir(cwd), 0);
    m_prompt.QueueAnswer(IDSKIPFILE);
    const std::set<std::string> first = Collected();
    EXPECT_EQ(first, (std::set<std::string>{"/keep/deep/b.doc", "/link", "/top.doc"}));
    // The data folder holds chosen files; "keep" only leads to "deep" and gets no entry.
    EXPECT_EQ(m_Folders, (std::set<std::string>{"", "/keep/deep"}));
    EXPECT_EQ(m_prompt.Messages().size(), 1u);
    m_pMyFiles->SaveSelection();
    struct stat st
    {
    };
    ASSERT_EQ(stat(g_ProjectData.GetPathInJobFolder("Shell.xsel").c_str(), &st), 0);

    m_engine.SetMyFiles(NewSource());
    EXPECT_EQ(Collected(), first);
    EXPECT_EQ(m_prompt.Messages().size(), 1u);
}

// A folder reached twice, through the walk of its parent and through a path of its
// own that appeared after it was chosen, is stored once, and so are its files.
TEST_F(MyFilesTreeCollectTest, FolderReachedTwiceIsStoredOnce)
{
    m_pMyFiles->SetSelection({m_data + "/keep", m_data + "/keep/late"});
    mkdir((m_data + "/keep/late").c_str(), 0700);
    tbmtest::WriteFileBytes(m_data + "/keep/late/l.doc", "late");
    EXPECT_EQ(Collected(), (std::set<std::string>{"/keep/README", "/keep/a.doc", "/keep/deep/b.doc",
                                                  "/keep/late/l.doc", "/keep/x.txt"}));
    EXPECT_EQ(m_Folders, (std::set<std::string>{"/keep", "/keep/deep", "/keep/late"}));
}

} // namespace
