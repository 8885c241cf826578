#include "BackupTestFixture.h"
#include "CheckTreeModel.h"
#include "ItemKinds.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using backuptest::BackupMangerTest;

// A source with one file of its own and a catalogue named after it.
class CNamedSource : public CBackupMangerSource
{
public:
    CNamedSource(std::string name, std::string file)
        : m_name(std::move(name)), m_file(std::move(file))
    {
    }
    int Collect(std::string& catalogueName) override
    {
        ++m_nCollects;
        m_ItemList.RemoveAll();
        auto info = std::make_unique<CAddInfo>(m_file, 4);
        info->m_strEntryName = m_name + "\\" + m_file.substr(m_file.rfind('/') + 1);
        m_ItemList.Add(std::move(info));
        catalogueName = m_name + ".tdat";
        return WriteCatalogue(catalogueName) ? result::kSuccess : result::kReadError;
    }
    int m_nCollects = 0;

private:
    std::string m_name;
    std::string m_file;
};

// Outlook Express: two identities, each a source of its own.
class CIdentityGroup : public CBackupMangerSource
{
public:
    std::vector<std::string> GetIdentityNames() const override { return {"Main", "Work"}; }
    CBackupMangerSource* GetIdentitySource(std::size_t position) override
    {
        return position < m_identities.size() ? m_identities[position].get() : nullptr;
    }
    int Collect(std::string&) override { return result::kSuccess; }
    std::vector<std::unique_ptr<CNamedSource>> m_identities;
};

class BackupCollectTest : public BackupMangerTest
{
protected:
    void SetUp() override
    {
        BackupMangerTest::SetUp();
        m_pSource->m_Files = {{MakeFile("mine.txt", "my file"), "home\\mine.txt"}};
        for (const auto& [kind, name] :
             std::map<std::uint32_t, std::string>{{itemkind::kOutlook, "Outlook"},
                                                  {itemkind::kFavorites, "Favorites"},
                                                  {itemkind::kAddressBook, "Wab"},
                                                  {itemkind::kFonts, "Fonts"}}) {
            auto source = std::make_unique<CNamedSource>(name, MakeFile(name + ".dat", name));
            m_sources[kind] = source.get();
            m_engine.SetSource(kind, std::move(source));
        }
        auto group = std::make_unique<CIdentityGroup>();
        for (const char* name : {"Main", "Work"})
            group->m_identities.push_back(
                std::make_unique<CNamedSource>(name, MakeFile(std::string(name) + ".dbx", name)));
        m_pWork = group->m_identities[1].get();
        m_engine.SetSource(itemkind::kOEGroup, std::move(group));
        ASSERT_EQ(m_engine.BuildBackupTree(&m_tree), 0);
    }

    // Checks the node with that text anywhere in the tree.
    void Check(const std::string& text, int state = tvcheck::kChecked)
    {
        for (TvTreeItem item = m_tree.GetRootItem(); item; item = m_tree.GetNextItemEx(item))
            if (m_tree.GetItemText(item) == text)
                m_tree.SetItemCheckState(item, state);
    }

    std::vector<std::pair<std::uint32_t, std::string>> CatalogueKinds() const
    {
        std::vector<std::pair<std::uint32_t, std::string>> kinds;
        for (const CBackupTreeItem* item : m_engine.GetCatalogueList())
            kinds.emplace_back(item->m_dwKind, item->m_strDisplayName);
        return kinds;
    }

    CCheckTreeModel m_tree;
    std::map<std::uint32_t, CNamedSource*> m_sources;
    CNamedSource* m_pWork = nullptr;
};

TEST_F(BackupCollectTest, CheckedSourcesAreCollectedInTreeOrderAndRunInSourceOrder)
{
    Check(LoadResString(121)); // favorites
    Check(LoadResString(170)); // fonts
    Check(LoadResString(103)); // Outlook
    Check("Work");
    Backup();
    EXPECT_EQ(m_sources[itemkind::kAddressBook]->m_nCollects, 0);
    const std::vector<std::pair<std::uint32_t, std::string>> expected = {
        {itemkind::kOutlook, ""},
        {itemkind::kOEIdentity, "Work"},
        {itemkind::kFavorites, ""},
        {itemkind::kFonts, ""},
        {itemkind::kMyFiles, ""}};
    EXPECT_EQ(CatalogueKinds(), expected);
    // Each source lists its own catalogue file with its files.
    EXPECT_EQ(m_engine.GetTotalFiles(), 10u);
    for (const char* line :
         {"Reading Microsoft Outlook Data", "Microsoft Outlook Selected Items : 2",
          "Reading Outlook Express Data", "Identity Name : Work", "Reading Favorites",
          "Favorites Files Size: ", "Reading Fonts", "Font Files : 2", "Reading My Folders",
          "Selected Files Size: "})
        EXPECT_TRUE(ReportHas(line)) << line;

    // The run takes the catalogue files first, then the sources in their fixed order,
    // whatever the order of the tree.
    std::vector<std::string> files;
    for (const std::string& path : m_recorder.Texts(notify::kEvent, notify::kFilePath))
        if (path.find(".tdat") == std::string::npos && path.find(".ini") == std::string::npos)
            files.push_back(path.substr(path.rfind('/') + 1));
    EXPECT_EQ(files, (std::vector<std::string>{"Outlook.dat", "Work.dbx", "mine.txt",
                                               "Favorites.dat", "Fonts.dat"}));
    EXPECT_EQ(backuptest::RunCommand("unzip -tq '" + g_ProjectData.GetOutputPath() + "'"), 0);
}

TEST_F(BackupCollectTest, ASourceUncheckedSinceTheLastCollectIsLeftOut)
{
    Check(LoadResString(121));
    m_engine.StartCollect(nullptr);
    ASSERT_EQ(m_engine.WaitCollect(), result::kSuccess);
    // The favorites still hold the files of that collection.
    Check(LoadResString(121), tvcheck::kUnchecked);
    Backup();
    for (const std::string& path : m_recorder.Texts(notify::kEvent, notify::kFilePath))
        EXPECT_EQ(path.find("Favorites.dat"), std::string::npos) << path;
    EXPECT_EQ(CatalogueKinds().size(), 1u);
}

TEST_F(BackupCollectTest, AMailProgramLeftOpenCancelsTheCollection)
{
    std::vector<std::uint32_t> asked;
    m_engine.SetMailProgramOpenHook([&asked](std::uint32_t kind) {
        asked.push_back(kind);
        return true;
    });
    Check("Work");
    EXPECT_EQ(m_engine.Collect(), result::kCancel);
    EXPECT_EQ(asked, std::vector<std::uint32_t>{itemkind::kOEIdentity});
    EXPECT_EQ(m_pWork->m_nCollects, 0);
}

} // namespace
