#include "CatalogueFile.h"
#include "CheckTreeModel.h"
#include "MyFilesData.h"
#include "ProjectData.h"
#include "ResultCodes.h"
#include "ScriptedPrompt.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace tvcheck;

// Answers the question about a missing root with a scripted folder, or cancels.
class CFolderPrompt : public tbmtest::CScriptedPrompt
{
public:
    bool AskFolder(const std::string& text, std::string& folder) override
    {
        m_questions.push_back(text);
        folder = m_answer;
        return m_ok;
    }

    std::vector<std::string> m_questions;
    std::string m_answer = "/chosen";
    bool m_ok = true;
};

struct TargetCase
{
    const char* stored;
    int location;
    const char* folder; // expected target folder
    const char* name;   // expected file name
};

class MyFilesTargetTest : public ::testing::TestWithParam<TargetCase>
{
protected:
    CFolderPrompt m_prompt;
};

TEST_P(MyFilesTargetTest, TargetFolderByLocation)
{
    CMyFilesRestoreTarget target;
    target.SetLocation(GetParam().location, "/r");
    std::string folder;
    ASSERT_EQ(target.GetTargetFolder(GetParam().stored, folder), result::kSuccess);
    EXPECT_EQ(folder, GetParam().folder);
    EXPECT_EQ(CMyFilesRestoreTarget::Split(GetParam().stored).name, GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, MyFilesTargetTest,
    ::testing::Values(TargetCase{"/home/u/a.txt", 0, "/home/u", "a.txt"},
                      TargetCase{"/a.txt", 0, "/", "a.txt"},
                      TargetCase{"/home/u/a.txt", 1, "/r/home/u", "a.txt"},
                      TargetCase{"/home/u/a.txt", 2, "/r", "a.txt"},
                      TargetCase{"/home/u/a\\b.txt", 1, "/r/home/u", "a\\b.txt"},
                      TargetCase{"C:\\Docs\\Work\\a.txt", 1, "/r/Docs/Work", "a.txt"},
                      TargetCase{"C:\\Docs\\a.txt", 2, "/r", "a.txt"},
                      TargetCase{"c:/Docs/a.txt", 1, "/r/Docs", "a.txt"},
                      TargetCase{"\\\\server\\share\\x.txt", 1, "/r", "x.txt"},
                      TargetCase{"\\\\server\\share\\dir\\x.txt", 2, "/r", "x.txt"},
                      TargetCase{"\\\\server\\share\\dir\\x.txt", 1, "/r/dir", "x.txt"},
                      // Never outside the chosen folder.
                      TargetCase{"C:\\..\\..\\etc\\a.txt", 1, "/r/etc", "a.txt"},
                      TargetCase{"/../../etc/./a.txt", 1, "/r/etc", "a.txt"},
                      TargetCase{"C:\\Docs\\..", 1, "/r", ""},
                      // A missing root takes the folder the user chose, structure kept below it.
                      TargetCase{"C:\\Docs\\a.txt", 0, "/chosen/Docs", "a.txt"},
                      TargetCase{"\\\\server\\share\\x.txt", 0, "/chosen", "x.txt"},
                      TargetCase{"relative\\a.txt", 0, "/chosen/relative", "a.txt"}));

TEST(MyFilesTargetRulesTest, EmptyChosenFolderPlansNothing)
{
    CFolderPrompt prompt;
    prompt.m_answer.clear();
    CMyFilesRestoreTarget target;
    std::string folder = "x";
    target.SetLocation(1, "");
    EXPECT_EQ(target.GetTargetFolder("/home/u/a.txt", folder), result::kSuccess);
    EXPECT_EQ(folder, "");
    target.SetLocation(0, "");
    EXPECT_EQ(target.GetTargetFolder("C:\\a.txt", folder), result::kSuccess);
    EXPECT_EQ(folder, "");
    EXPECT_EQ(target.GetTargetFolder("C:\\b.txt", folder), result::kSuccess);
    EXPECT_EQ(prompt.m_questions.size(), 1u);
}

std::unique_ptr<CAddInfo> Stored(const std::string& path, std::uint32_t size,
                                 std::uint32_t directory = 0)
{
    auto info = std::make_unique<CAddInfo>();
    info->m_strSourcePath = path;
    info->m_strEntryName = CMyFilesData::GetEntryName(path);
    info->m_strTreePath = CMyFilesData::GetTreePath(path);
    info->m_dwSize = size;
    info->m_dwDirectory = directory;
    info->m_dwKind = CMyFilesData::kKind;
    return info;
}

class MyFilesRestoreTest : public tbmtest::TempDirTest
{
protected:
    void SetUp() override { g_ProjectData = CProjectData(); }
    void TearDown() override { g_ProjectData = CProjectData(); }

    std::string Catalogue(std::vector<std::unique_ptr<CAddInfo>> entries)
    {
        const std::string path = m_dir / "MyFiles.tdat";
        CObjectWriter out;
        out.WriteObjects(entries);
        EXPECT_TRUE(out.SaveToFile(path));
        return path;
    }
    TvTreeItem Child(TvTreeItem parent, const std::string& text) const
    {
        CCheckTreeModel& tree = m_source.GetTree();
        for (TvTreeItem child = tree.GetChildItem(parent); child;
             child = tree.GetNextSiblingItem(child))
            if (tree.GetItemText(child) == text)
                return child;
        return {};
    }
    void CheckEverything()
    {
        CCheckTreeModel& tree = m_source.GetTree();
        for (TvTreeItem item = tree.GetRootItem(); item; item = tree.GetNextSiblingItem(item))
            m_source.GetFolderTree().CheckFolder(item, true);
    }
    std::vector<std::string> Targets()
    {
        std::vector<std::string> targets;
        for (const CAddInfo* info : m_source.GetRestorePlan())
            targets.push_back(info->m_strTargetPath);
        return targets;
    }

    mutable CMyFilesData m_source;
    CFolderPrompt m_prompt;
};

TEST_F(MyFilesRestoreTest, TreeIsRebuiltFromTreePathsIgnoringCase)
{
    std::vector<std::unique_ptr<CAddInfo>> entries;
    entries.push_back(Stored("/home/u/a.txt", 10));
    entries.push_back(Stored("/HOME/U/b.txt", 20));
    entries.push_back(Stored("/home/u/empty", 0, 1));
    entries.push_back(Stored("/top.txt", 5));
    entries.push_back(Stored("", 7)); // no tree path: not shown
    const std::string catalogue = Catalogue(std::move(entries));
    for (int load = 0; load < 2; ++load) // a second load replaces the first
        ASSERT_EQ(m_source.LoadForRestore(TvTreeItem{}, catalogue), result::kSuccess);

    CCheckTreeModel& tree = m_source.GetTree();
    CFolderTree& folders = m_source.GetFolderTree();
    EXPECT_EQ(tree.GetChildCount({}), 2); // "home" and the holder of top.txt
    const TvTreeItem home = Child({}, "home");
    ASSERT_TRUE(home);
    EXPECT_EQ(tree.GetChildCount(home), 1);
    const TvTreeItem u = Child(home, "u");
    ASSERT_TRUE(u);
    EXPECT_EQ(tree.GetItemCheckState(u), kUnchecked);
    const CFolderTreeNode* node = folders.GetNode(u);
    // A stored folder is the folder's own item, not a file of its parent.
    ASSERT_EQ(node->m_Files.size(), 2u);
    ASSERT_TRUE(Child(u, "empty"));
    ASSERT_NE(folders.GetNode(Child(u, "empty"))->m_pStoredFolder, nullptr);
    EXPECT_EQ(node->m_pStoredFolder, nullptr);
    EXPECT_EQ(node->m_Files[1].m_strName, "b.txt");
    EXPECT_EQ(node->m_Files[1].m_strPath, "/HOME/U/b.txt");
    ASSERT_NE(node->m_Files[1].m_pStored, nullptr);
    EXPECT_EQ(node->m_Files[1].m_pStored->m_dwSize, 20u);
    EXPECT_EQ(folders.GetNode(Child({}, "/"))->m_Files.at(0).m_strName, "top.txt");

    // Only what is checked is planned, with the target beside the entry's data.
    folders.CheckFolder(u, true);
    folders.FindFile(u, "b.txt")->m_nState = kUnchecked;
    m_source.SetRestoreLocation(1, m_dir / "to");
    ASSERT_EQ(m_source.PlanRestore(), result::kSuccess);
    ASSERT_EQ(m_source.GetRestorePlan().GetSize(), 2u);
    const CAddInfo* planned = m_source.GetRestorePlan()[0];
    EXPECT_EQ(planned->m_strSourcePath, m_dir / "to/home/u");
    EXPECT_EQ(planned->m_strTargetPath, m_dir / "to/home/u/a.txt");
    EXPECT_EQ(planned->m_strEntryName, "home\\u\\a.txt");
    EXPECT_EQ(planned->m_dwSize, 10u);
    EXPECT_EQ(planned->m_dwKind, 4u);
    EXPECT_EQ(m_source.GetRestorePlan()[1]->m_dwDirectory, 1u);
    EXPECT_EQ(m_source.GetRestorePlan()[1]->m_strEntryName, "home\\u\\empty\\");
    EXPECT_EQ(m_source.GetRestorePlan()[1]->m_strTargetPath, m_dir / "to/home/u/empty");
    EXPECT_EQ(m_source.GetRestoreTotalSize(), 10u);
    // A flat restore keeps no folders.
    m_source.SetRestoreLocation(2, m_dir / "flat");
    ASSERT_EQ(m_source.PlanRestore(), result::kSuccess);
    EXPECT_EQ(Targets(), (std::vector<std::string>{m_dir / "flat/a.txt"}));
}

TEST_F(MyFilesRestoreTest, WindowsPathsAskOncePerMissingRoot)
{
    std::vector<std::unique_ptr<CAddInfo>> entries;
    entries.push_back(Stored("C:\\Docs\\a.txt", 1));
    entries.push_back(Stored("c:\\docs\\Work\\b.txt", 2));
    entries.push_back(Stored("\\\\server\\share\\x.txt", 3));
    const std::string catalogue = Catalogue(std::move(entries));
    ASSERT_EQ(m_source.LoadForRestore(TvTreeItem{}, catalogue), result::kSuccess);
    ASSERT_TRUE(Child(Child({}, "C:"), "Docs")); // "c:\docs" shares these items
    EXPECT_EQ(m_source.GetTree().GetChildCount({}), 2);
    CheckEverything();

    m_source.SetRestoreLocation(0, "");
    ASSERT_EQ(m_source.PlanRestore(), result::kSuccess);
    EXPECT_EQ(Targets(), (std::vector<std::string>{"/chosen/Docs/a.txt", "/chosen/docs/Work/b.txt",
                                                   "/chosen/x.txt"}));
    ASSERT_EQ(m_prompt.m_questions.size(), 2u);
    EXPECT_NE(m_prompt.m_questions[0].find("C:\\"), std::string::npos);
    EXPECT_NE(m_prompt.m_questions[1].find("\\\\server\\share"), std::string::npos);
    // Planned again, the answers stand.
    ASSERT_EQ(m_source.PlanRestore(), result::kSuccess);
    EXPECT_EQ(m_prompt.m_questions.size(), 2u);

    m_source.SetRestoreLocation(2, m_dir / "flat");
    ASSERT_EQ(m_source.PlanRestore(), result::kSuccess);
    EXPECT_EQ(Targets(), (std::vector<std::string>{m_dir / "flat/a.txt", m_dir / "flat/b.txt",
                                                   m_dir / "flat/x.txt"}));

    // A new restore asks again; Cancel ends the plan with nothing planned.
    m_source.Reset();
    m_prompt.m_ok = false;
    m_source.SetRestoreLocation(0, "");
    EXPECT_EQ(m_source.PlanRestore(), result::kCancel);
    EXPECT_EQ(m_source.GetRestorePlan().GetSize(), 0u);
    EXPECT_EQ(m_prompt.m_questions.size(), 3u);
}

TEST_F(MyFilesRestoreTest, CatalogueThatCannotBeHadGivesTheCode)
{
    EXPECT_EQ(
        m_source.LoadForRestore(TvTreeItem{}, [](std::string&) { return result::kBadPassword; }),
        result::kBadPassword);
    EXPECT_EQ(m_source.LoadForRestore(TvTreeItem{}, m_dir / "missing.tdat"), result::kExtractError);
    const std::string catalogue = Catalogue({});
    EXPECT_EQ(m_source.LoadForRestore(TvTreeItem{},
                                      [&catalogue](std::string& path) {
                                          path = catalogue;
                                          return result::kSuccess;
                                      }),
              result::kSuccess);
    EXPECT_EQ(m_source.PlanRestore(), result::kSuccess);
    EXPECT_EQ(m_source.GetRestorePlan().GetSize(), 0u);
}

} // namespace
