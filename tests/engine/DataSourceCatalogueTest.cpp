// Writing and reading per-source catalogues and the Add-file check loop.
#include "DataSource.h"
#include "EngineTest.h"
#include "ResultCodes.h"
#include "ScriptedPrompt.h"

#include "Prompt.h"

#include <gtest/gtest.h>

#include <deque>

using namespace enginetest;

namespace {

// Answers the file check from a script and counts the checks.
class CScriptedCheck : public CFileCheck
{
public:
    explicit CScriptedCheck(std::deque<int> answers) : m_answers(std::move(answers)) {}
    int CheckFile(const std::string& path) override
    {
        m_paths.push_back(path);
        if (m_answers.empty())
            return 0;
        const int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    std::vector<std::string> m_paths;

private:
    std::deque<int> m_answers;
};

class DataSourceCatalogueTest : public EngineTest
{
protected:
    std::string MakeFile(const std::string& name, std::size_t size)
    {
        const std::string path = m_dir / name;
        tbmtest::WriteFileBytes(path, std::string(size, 'x'));
        return path;
    }

    CDataSource m_source{"favorites.tdat"};
};

TEST_F(DataSourceCatalogueTest, EmptyListWritesACountOfZeroAndStillGetsItsCatalogueEntry)
{
    ASSERT_EQ(1, m_source.WriteCatalogue("favorites.tdat"));
    const std::string path = m_workFolder + "/favorites.tdat";
    EXPECT_EQ(std::string("\0\0", 2), tbmtest::ReadFileBytes(path));
    ASSERT_EQ(1u, m_source.GetItemCount());
    const CAddInfo& self = *m_source.GetItemList()[0];
    EXPECT_EQ(path, self.m_strSourcePath);
    EXPECT_EQ("", self.m_strEntryName);
    EXPECT_EQ("", self.m_strTreePath);
    EXPECT_EQ(2u, self.m_dwSize);
    EXPECT_EQ(0u, self.m_dwKind);
}

TEST_F(DataSourceCatalogueTest, CatalogueIsFirstEntryButNotListedInItself)
{
    auto info = std::make_unique<CAddInfo>(MakeFile("a.url", 10), 13);
    info->m_strEntryName = "Fav\\a.url";
    info->m_strTreePath = "a.url";
    m_source.GetItemList().Add(std::move(info));
    ASSERT_EQ(1, m_source.WriteCatalogue("favorites.tdat"));
    ASSERT_EQ(2u, m_source.GetItemCount());
    EXPECT_EQ(m_workFolder + "/favorites.tdat", m_source.GetItemList()[0]->m_strSourcePath);

    CDataSource restored;
    ASSERT_EQ(1, restored.ReadCatalogue(m_workFolder + "/favorites.tdat"));
    ASSERT_EQ(1u, restored.GetItemCount());
    const CAddInfo& back = *restored.GetItemList()[0];
    EXPECT_EQ(m_dir / "a.url", back.m_strSourcePath);
    EXPECT_EQ("Fav\\a.url", back.m_strEntryName);
    EXPECT_EQ(10u, back.m_dwSize);
    EXPECT_EQ(13u, back.m_dwKind);
    EXPECT_EQ(10u, restored.GetTotalSize());
}

TEST_F(DataSourceCatalogueTest, UnwritableCatalogueReturnsZeroAndKeepsTheList)
{
    g_ProjectData.SetWorkFolderPath(m_dir / "missing");
    g_Preferences.m_strTempLevel = m_dir / "missing";
    m_source.GetItemList().Add(std::make_unique<CAddInfo>());
    EXPECT_EQ(0, m_source.WriteCatalogueFile(m_dir / "no/such/folder/x.tdat"));
    EXPECT_EQ(1u, m_source.GetItemCount());
}

TEST_F(DataSourceCatalogueTest, CatalogueNameMustStayInTheWorkFolder)
{
    for (const char* name : {"", ".", "..", "../escape.tdat", "a/b.tdat"})
        EXPECT_EQ(0, m_source.WriteCatalogue(name)) << name;
    EXPECT_EQ(0u, m_source.GetItemCount());
    EXPECT_EQ(0, ModeOf(TvGetTempPath() + "/escape.tdat"));
}

TEST_F(DataSourceCatalogueTest, MissingCatalogueReadsAsFailureWithAnEmptyList)
{
    m_source.GetItemList().Add(std::make_unique<CAddInfo>());
    tbmtest::CScriptedPrompt prompt;
    EXPECT_EQ(0, m_source.ReadCatalogue(m_dir / "none.tdat"));
    EXPECT_EQ(0u, m_source.GetItemCount());
    EXPECT_TRUE(prompt.Messages().empty());
}

TEST_F(DataSourceCatalogueTest, DamagedCatalogueIsReportedWithItsMessage)
{
    Bytes bytes = {0x01, 0x00};
    AppendNewClass(bytes, "CBackupTreeItem");
    tbmtest::WriteFileBytes(m_dir / "bad.tdat", ToText(bytes));
    tbmtest::CScriptedPrompt prompt;
    EXPECT_EQ(0, m_source.ReadCatalogue(m_dir / "bad.tdat"));
    EXPECT_EQ(0u, m_source.GetItemCount());
    ASSERT_EQ(1u, prompt.Messages().size());
    EXPECT_NE(std::string::npos, prompt.Messages()[0].text.find("CBackupTreeItem"));
    EXPECT_EQ(prompt.Messages()[0].text, m_source.GetLastError());
}

TEST_F(DataSourceCatalogueTest, FolderIsNoCatalogue)
{
    EXPECT_EQ(0, m_source.ReadCatalogue(m_dir.Str()));
}

struct CheckCase
{
    const char* name;
    std::deque<int> answers;
    int result;
    std::size_t checks;
};

class AddFileLoopTest : public DataSourceCatalogueTest,
                        public ::testing::WithParamInterface<CheckCase>
{
};

TEST_P(AddFileLoopTest, AnswersDecideTheResult)
{
    const std::string path = MakeFile("f.bin", 3);
    CScriptedCheck check(GetParam().answers);
    m_source.SetFileCheck(&check);
    EXPECT_EQ(GetParam().result, m_source.AddFile(path));
    EXPECT_EQ(GetParam().checks, check.m_paths.size());
    EXPECT_EQ(GetParam().result == 0 ? 1u : 0u, m_source.GetItemCount());
    if (GetParam().result == 0) {
        const CAddInfo& added = *m_source.GetItemList()[0];
        EXPECT_EQ(path, added.m_strSourcePath);
        EXPECT_EQ(3u, added.m_dwSize);
        EXPECT_EQ(0u, added.m_dwKind);
        EXPECT_EQ(-1, added.m_nArchiveIndex);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, AddFileLoopTest,
    ::testing::Values(CheckCase{"FirstCheckPasses", {0}, result::kSuccess, 1},
                      CheckCase{
                          "RetryThenPass", {IDRETRYFILE, IDRETRYFILE, 0}, result::kSuccess, 3},
                      CheckCase{"Skip", {IDSKIPFILE}, result::kSkip, 1},
                      CheckCase{"RetryThenSkip", {IDRETRYFILE, IDSKIPFILE}, result::kSkip, 2},
                      CheckCase{"Cancel", {IDCANCEL}, result::kCancel, 1},
                      CheckCase{"AnyOtherAnswerCancels", {IDRETRYFILE, 12345}, result::kCancel, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DataSourceCatalogueTest, WithoutAnInstalledCheckMissingFilesAreSkipped)
{
    EXPECT_EQ(result::kSkip, m_source.AddFile(m_dir / "missing"));
    EXPECT_EQ(result::kSkip, m_source.AddFile(""));
    EXPECT_EQ(result::kSuccess, m_source.AddFile(MakeFile("here", 1)));
    EXPECT_EQ(1u, m_source.GetItemCount());
}

TEST_F(DataSourceCatalogueTest, EntryForAFolderHasTheDirectoryFlagAndNoSize)
{
    const CAddInfo folder(m_dir.Str(), 4);
    EXPECT_EQ(1u, folder.m_dwDirectory);
    EXPECT_EQ(0u, folder.m_dwSize);
    EXPECT_EQ(4u, folder.m_dwKind);
    EXPECT_EQ(0xFFFFFFFFu, CAddInfo::CatalogueSize(0x100000000ull));
    EXPECT_EQ(5u, CAddInfo::CatalogueSize(5));
}

TEST_F(DataSourceCatalogueTest, TotalsAreSixtyFourBitSums)
{
    for (int i = 0; i < 3; ++i) {
        auto info = std::make_unique<CAddInfo>();
        info->m_dwSize = 0xFFFFFFFF;
        m_source.GetItemList().Add(std::move(info));
        auto planned = std::make_unique<CAddInfo>();
        planned->m_dwSize = 2;
        m_source.GetRestorePlan().Add(std::move(planned));
    }
    EXPECT_EQ(3ull * 0xFFFFFFFFull, m_source.GetTotalSize());
    EXPECT_EQ(6u, m_source.GetRestoreTotalSize());
}

} // namespace
