#include "MyFilesData.h"
#include "BackupManger.h"
#include "ProjectData.h"
#include "ResultCodes.h"
#include "ScriptedPrompt.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct NameCase
{
    const char* path;
    const char* entry;
    const char* tree;
};

class MyFilesNameTest : public ::testing::TestWithParam<NameCase>
{
};

TEST_P(MyFilesNameTest, EntryNameAndTreePath)
{
    EXPECT_EQ(CMyFilesData::GetEntryName(GetParam().path), GetParam().entry);
    EXPECT_EQ(CMyFilesData::GetTreePath(GetParam().path), GetParam().tree);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, MyFilesNameTest,
    ::testing::Values(
        NameCase{"/home/u/a.txt", "home\\u\\a.txt", "home\\u\\a.txt"},
        NameCase{"C:\\Docs\\a.txt", "C\\Docs\\a.txt", "C:\\Docs\\a.txt"},
        NameCase{"c:/Docs/a.txt", "c\\Docs\\a.txt", "c:\\Docs\\a.txt"},
        NameCase{"\\\\server\\share\\x.txt", "server\\share\\x.txt", "server\\share\\x.txt"},
        NameCase{"/home//u/./b", "home\\u\\b", "home\\\\u\\.\\b"},
        NameCase{"/../../etc/passwd", "etc\\passwd", "..\\..\\etc\\passwd"},
        NameCase{"/home/u/dir/", "home\\u\\dir", "home\\u\\dir"},
        NameCase{"/home/\xC3\xA9t\xC3\xA9", "home\\\xC3\xA9t\xC3\xA9", "home\\\xC3\xA9t\xC3\xA9"}));

struct FilterCase
{
    const char* name;
    std::uint32_t mode;
    std::uint32_t exclude;
    bool expect;
};

class MyFilesFilterTest : public ::testing::TestWithParam<FilterCase>
{
};

TEST_P(MyFilesFilterTest, FileTypeFilter)
{
    CProjectData job;
    job.m_dwFilterMode = GetParam().mode;
    job.m_dwExcludeFlag = GetParam().exclude;
    job.m_IncludeList = {"*.doc"};
    job.m_ExcludeList = {"*.TMP"};
    EXPECT_EQ(CMyFilesData::PassesFilter(GetParam().name, job), GetParam().expect);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, MyFilesFilterTest,
    ::testing::Values(FilterCase{"/a/letter.doc", 1, 0, true},
                      FilterCase{"/a/LETTER.DOC", 1, 0, true}, FilterCase{"/a/README", 1, 0, false},
                      FilterCase{"/a/.doc", 1, 0, false}, // a hidden file, no extension
                      FilterCase{"/a/x.txt", 1, 0, false}, FilterCase{"/a/x.tmp", 0, 1, false},
                      FilterCase{"/a/README", 0, 1, true}, FilterCase{"/a/x.txt", 0, 1, true},
                      FilterCase{"/a/x.tmp", 0, 0, true}, FilterCase{"/a.d/noext", 0, 1, true}));

class MyFilesCollectTest : public tbmtest::TempDirTest
{
protected:
    void SetUp() override
    {
        g_ProjectData = CProjectData();
        m_work = m_dir / "work";
        mkdir(m_work.c_str(), 0700);
        g_ProjectData.SetWorkFolderPath(m_work);
        g_ProjectData.m_strOutputPath = m_dir / "tree/out.tbm";
        m_tree = m_dir / "tree";
        mkdir(m_tree.c_str(), 0700);
        auto source = std::make_unique<CMyFilesData>();
        m_pMyFiles = source.get();
        m_engine.SetMyFiles(std::move(source));
        m_engine.GetReport().SetText(CHtmlReport::kBackupSt);
        m_engine.GetReport().SetPlaceholder(CHtmlReport::kBackupSt);
    }
    void TearDown() override { g_ProjectData = CProjectData(); }

    std::vector<std::string> EntryNames() const
    {
        std::vector<std::string> names;
        for (const CAddInfo* info : m_pMyFiles->GetItemList())
            names.push_back(info->m_strEntryName);
        return names;
    }
    std::string Entry(const std::string& relative) const
    {
        return CMyFilesData::GetEntryName(m_tree + "/" + relative);
    }
    bool Has(const std::string& relative) const
    {
        const auto names = EntryNames();
        return std::find(names.begin(), names.end(), Entry(relative)) != names.end();
    }
    // Folders are stored under the archive's name for them, with a closing "\".
    bool HasFolder(const std::string& relative) const
    {
        const auto names = EntryNames();
        return std::count(names.begin(), names.end(), Entry(relative) + "\\") == 1;
    }

    std::string m_work;
    std::string m_tree;
    CBackupManger m_engine;
    CMyFilesData* m_pMyFiles = nullptr;
    tbmtest::CScriptedPrompt m_prompt;
};

TEST_F(MyFilesCollectTest, WalksWholeFoldersWithLinksAsLinksWithoutSpecialFilesOrItsOwnOutput)
{
    mkdir((m_tree + "/sub").c_str(), 0700);
    mkdir((m_tree + "/empty").c_str(), 0700);
    tbmtest::WriteFileBytes(m_tree + "/a.txt", "a");
    tbmtest::WriteFileBytes(m_tree + "/sub/b.doc", "b");
    tbmtest::WriteFileBytes(m_tree + "/out.tbm", "old backup");
    tbmtest::WriteFileBytes(m_tree + "/out.000", "volume");
    tbmtest::WriteFileBytes(m_tree + "/out.txt", "not a volume");
    ASSERT_EQ(symlink("..", (m_tree + "/sub/loop").c_str()), 0);
    ASSERT_EQ(mkfifo((m_tree + "/pipe").c_str(), 0600), 0);

    m_pMyFiles->SetSelection({m_tree});
    std::string catalogue;
    ASSERT_EQ(m_pMyFiles->Collect(catalogue), result::kSuccess);
    EXPECT_EQ(catalogue, "MyFiles.tdat");
    EXPECT_TRUE(Has("a.txt"));
    EXPECT_TRUE(Has("sub/b.doc"));
    // Every folder has an entry, empty or not, the chosen one too.
    EXPECT_TRUE(HasFolder("empty"));
    EXPECT_TRUE(HasFolder("sub"));
    EXPECT_TRUE(HasFolder(""));
    EXPECT_TRUE(Has("out.txt"));
    EXPECT_FALSE(Has("out.tbm"));
    EXPECT_FALSE(Has("out.000"));
    EXPECT_FALSE(Has("pipe"));
    EXPECT_TRUE(Has("sub/loop")); // the link itself, never followed
    for (const CAddInfo* info : m_pMyFiles->GetItemList()) {
        if (!info->m_strEntryName.empty()) {
            EXPECT_EQ(info->m_dwKind, CMyFilesData::kKind);
        }
        if (info->m_strEntryName == Entry("sub/loop")) {
            EXPECT_EQ(info->m_dwDirectory, 0u);
            EXPECT_EQ(info->m_dwSize, 2u); // lstat: the length of ".."
        }
    }
    const std::string& report = m_engine.GetReport().GetText();
    EXPECT_NE(report.find("pipe"), std::string::npos);
    EXPECT_EQ(report.find("loop"), std::string::npos);
}

TEST_F(MyFilesCollectTest, WorkFolderInsideTheSelectionIsLeftOut)
{
    const std::string work = m_tree + "/work";
    mkdir(work.c_str(), 0700);
    tbmtest::WriteFileBytes(work + "/maindata.ini", "x");
    tbmtest::WriteFileBytes(m_tree + "/keep.txt", "k");
    g_ProjectData.SetWorkFolderPath(work);
    m_pMyFiles->SetSelection({m_tree});
    std::string catalogue;
    ASSERT_EQ(m_pMyFiles->Collect(catalogue), result::kSuccess);
    EXPECT_TRUE(Has("keep.txt"));
    EXPECT_FALSE(Has("work/maindata.ini"));
}

TEST_F(MyFilesCollectTest, FilterOnlyChosenTypes)
{
    tbmtest::WriteFileBytes(m_tree + "/letter.doc", "d");
    tbmtest::WriteFileBytes(m_tree + "/README", "r");
    g_ProjectData.m_dwFilterMode = 1;
    g_ProjectData.m_IncludeList = {"*.doc"};
    m_pMyFiles->SetSelection({m_tree});
    std::string catalogue;
    ASSERT_EQ(m_pMyFiles->Collect(catalogue), result::kSuccess);
    EXPECT_TRUE(Has("letter.doc"));
    EXPECT_FALSE(Has("README"));
}

TEST_F(MyFilesCollectTest, StopRequestEndsTheWalk)
{
    tbmtest::WriteFileBytes(m_tree + "/a.txt", "a");
    m_pMyFiles->SetSelection({m_tree});
    m_engine.GetScanCancelEvent().Set();
    std::string catalogue;
    EXPECT_EQ(m_pMyFiles->Collect(catalogue), result::kAbortScan);
    m_engine.GetScanCancelEvent().Reset();
}

TEST_F(MyFilesCollectTest, CancelAtThePromptEndsTheCollection)
{
    m_prompt.QueueAnswer(IDCANCEL);
    m_pMyFiles->SetSelection({m_tree + "/gone.txt"});
    std::string catalogue;
    EXPECT_EQ(m_pMyFiles->Collect(catalogue), result::kCancel);
}

} // namespace
