// The engine's own catalogue: "maindata.ini" and "treeobj.tdat" in the work folder.
#include "MainCatalogue.h"
#include "DataSource.h"
#include "EngineTest.h"
#include "ResultCodes.h"
#include "ScriptedPrompt.h"

#include "Prompt.h"

#include <gtest/gtest.h>

using namespace enginetest;

namespace {

class CSkipFile : public CFileCheck
{
public:
    explicit CSkipFile(std::string name) : m_name(std::move(name)) {}
    int CheckFile(const std::string& path) override
    {
        return path.size() >= m_name.size() &&
                       path.compare(path.size() - m_name.size(), m_name.size(), m_name) == 0
                   ? IDSKIPFILE
                   : 0;
    }

private:
    std::string m_name;
};

class MainCatalogueTest : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        g_ProjectData.NewJob(); // forgets the work folder
        g_ProjectData.SetWorkFolderPath(m_workFolder);
        g_ProjectData.SetDescription("Weekly\r\nbackup");
        m_items.Add(std::make_unique<CBackupTreeItem>("Outlook.tdat", "", 0));
        m_items.Add(std::make_unique<CBackupTreeItem>("{GUID}.tdat", "Main Identity", 2));
        m_items.Add(std::make_unique<CBackupTreeItem>("MyFiles.tdat", "", 4));
    }

    CDataSource m_engine;
    CAutoObArray<CBackupTreeItem> m_items;
};

TEST_F(MainCatalogueTest, WritesBothFilesAndAddsThemToTheEngineInOrder)
{
    ASSERT_EQ(1, CMainCatalogue::Write(m_engine, g_ProjectData, m_items));
    const std::string mainData = m_workFolder + "/maindata.ini";
    const std::string treeObj = m_workFolder + "/treeobj.tdat";
    EXPECT_EQ("[Main]\r\nProjectName=My Backup\r\nProjectDescription=Weekly  backup\r\n"
              "ProjectDate=03/05/2024\r\nProjectTime=02:07 PM\r\n\r\n",
              tbmtest::ReadFileBytes(mainData));
    ASSERT_EQ(2u, m_engine.GetItemCount());
    EXPECT_EQ(mainData, m_engine.GetItemList()[0]->m_strSourcePath);
    EXPECT_EQ(treeObj, m_engine.GetItemList()[1]->m_strSourcePath);
    EXPECT_EQ("", m_engine.GetItemList()[1]->m_strEntryName);

    std::string root;
    std::string error;
    CAutoObArray<CBackupTreeItem> read;
    ASSERT_EQ(1, CMainCatalogue::Read(m_workFolder, root, read, error));
    EXPECT_EQ("My Backup", root);
    ASSERT_EQ(3u, read.GetSize());
    EXPECT_EQ("{GUID}.tdat", read[1]->m_strCatalogueFile);
    EXPECT_EQ("Main Identity", read[1]->m_strDisplayName);
    EXPECT_EQ(4u, read[2]->m_dwKind);
}

TEST_F(MainCatalogueTest, EmptyCatalogueListIsACountOfZero)
{
    m_items.RemoveAll();
    ASSERT_EQ(1, CMainCatalogue::Write(m_engine, g_ProjectData, m_items));
    EXPECT_EQ(std::string("\0\0", 2), tbmtest::ReadFileBytes(m_workFolder + "/treeobj.tdat"));
}

TEST_F(MainCatalogueTest, SkippedMainDataEndsTheStepBeforeTreeObj)
{
    CSkipFile skip("maindata.ini");
    m_engine.SetFileCheck(&skip);
    EXPECT_EQ(0, CMainCatalogue::Write(m_engine, g_ProjectData, m_items));
    EXPECT_EQ(0u, m_engine.GetItemCount());
    EXPECT_EQ(0, ModeOf(m_workFolder + "/treeobj.tdat"));
}

TEST_F(MainCatalogueTest, SkippedTreeObjFailsAfterMainDataWasAdded)
{
    CSkipFile skip("treeobj.tdat");
    m_engine.SetFileCheck(&skip);
    EXPECT_EQ(0, CMainCatalogue::Write(m_engine, g_ProjectData, m_items));
    EXPECT_EQ(1u, m_engine.GetItemCount());
}

TEST_F(MainCatalogueTest, MissingTreeObjLeavesTheListEmptyButKeepsTheRootText)
{
    ASSERT_TRUE(CMainCatalogue::WriteMainData(m_workFolder + "/maindata.ini", g_ProjectData));
    std::string root;
    std::string error;
    CAutoObArray<CBackupTreeItem> read;
    read.Add(std::make_unique<CBackupTreeItem>("stale.tdat", "", 13));
    tbmtest::CScriptedPrompt prompt;
    EXPECT_EQ(0, CMainCatalogue::Read(m_workFolder, root, read, error));
    EXPECT_EQ("My Backup", root);
    EXPECT_EQ(0u, read.GetSize());
    EXPECT_TRUE(prompt.Messages().empty());
}

TEST_F(MainCatalogueTest, DamagedTreeObjIsShownToTheUser)
{
    Bytes bytes = {0x01, 0x00};
    AppendNewClass(bytes, "CAddInfo");
    tbmtest::WriteFileBytes(m_workFolder + "/treeobj.tdat", ToText(bytes));
    std::string root;
    std::string error;
    CAutoObArray<CBackupTreeItem> read;
    tbmtest::CScriptedPrompt prompt;
    EXPECT_EQ(0, CMainCatalogue::Read(m_workFolder, root, read, error));
    EXPECT_EQ("", root);
    ASSERT_EQ(1u, prompt.Messages().size());
    EXPECT_EQ(error, prompt.Messages()[0].text);
    EXPECT_NE(std::string::npos, error.find("CAddInfo"));
}

} // namespace
