// A backup of the address book, favorites, fonts and an application, read by
// Python's zipfile and restored into a fresh home; and crafted backups whose names
// and registry files try to reach beyond their places.
#include "PersonalFixture.h"

#include "ApplicationsData.h"
#include "DataSources.h"
#include "FavoritesData.h"
#include "FontsData.h"
#include "MainCatalogue.h"
#include "MyFilesData.h"
#include "RegistryImport.h"
#include "WabData.h"

#include "BackupManger.h"
#include "CheckTreeModel.h"
#include "ItemKinds.h"
#include "ItemTag.h"
#include "Preferences.h"

class PersonalRoundTripTest : public PersonalFixture
{
protected:
    void SetUp() override
    {
        PersonalFixture::SetUp();
        m_savedWab = g_Preferences.m_nR_Wab_Save;
        g_Preferences.m_nR_Wab_Save = 1;
    }
    void TearDown() override
    {
        g_Preferences.m_nR_Wab_Save = m_savedWab;
        PersonalFixture::TearDown();
    }

    // Backs up every source of this home into `m_dir/out/personal.tbm`.
    std::string BackUp()
    {
        g_ProjectData.NewJob();
        EXPECT_TRUE(g_ProjectData.RenameJob("Personal"));
        tbm::CreateFolderPath(m_dir / "out", 0700);
        EXPECT_TRUE(g_ProjectData.SetDefaultOutputFolder(m_dir / "out"));
        EXPECT_TRUE(g_ProjectData.SetBackupFileName("personal"));
        CCheckTreeModel tree;
        CBackupManger engine;
        const InstalledSources sources = CDataSources::Install(engine);
        engine.Reset();
        engine.SetMode(0);
        engine.BuildBackupTree(&tree);
        CheckSources(tree);
        sources.fonts->Show();
        sources.fonts->GetList().CheckAll();
        sources.applications->FillTree();
        sources.applications->GetTree().CheckAll();
        sources.myFiles->SetSelection({});
        EXPECT_EQ(0, engine.Collect());
        EXPECT_EQ(1, engine.WriteCatalogue());
        engine.StartBackup(nullptr);
        engine.WaitForWorker();
        EXPECT_EQ(RunEnding::kFinished, engine.GetLastRun().kind);
        return g_ProjectData.GetOutputPath();
    }

    // Restores every section of the backup; the report's lines.
    std::string Restore(const std::string& backup, std::uint32_t& failures)
    {
        CCheckTreeModel tree;
        CBackupManger engine;
        const InstalledSources sources = CDataSources::Install(engine);
        OpenForRestore(engine, tree, backup);
        CheckSources(tree);
        sources.fonts->GetList().CheckAll();
        sources.applications->GetTree().CheckAll();
        const int started = engine.StartRestore(nullptr);
        EXPECT_EQ(0, started);
        if (started == 0)
            engine.WaitForWorker();
        failures = engine.GetRestoreFailures();
        engine.BuildRestoreTree(nullptr);
        return engine.GetReport().GetText();
    }

    int m_savedWab = 0;
};

TEST_F(PersonalRoundTripTest, EverySourceIsStoredWithItsCatalogueAndComesBackIntoAFreshHome)
{
    SetText(CWabData::kWab5Key, "", m_home + "/Contacts/book.wab");
    Put(m_home + "/Contacts/book.wab", std::string("WAB\0\x01\x02", 6));
    Put(Data("TBManager/Favorites/Links/a.url"), "URL=http://a/\r\n");
    Put(Data("TBManager/Favorites/b.url"), "URL=http://b/\r\n");
    Put(Data("fonts/a.ttf"), std::string(3000, '\x7f'));
    Put(Data("fonts/b.otf"), "OTTO font");
    Put(Config("geany/geany.conf"), "[geany]\npref_editor_tab_width=4\n");
    const std::string backup = BackUp();

    const std::string check = R"(
import sys, zipfile
z = zipfile.ZipFile(sys.argv[1] if len(sys.argv) > 1 else ')" + backup + R"(')
assert z.testzip() is None
names = set(z.namelist())
for n in ['Fav/Links/a.url', 'Fav/b.url', 'Fonts/a.ttf', 'Fonts/b.otf', 'Wab/book.wab',
          'APP/Geany/Files/geany.conf', 'favorites.tdat', 'Fonts.tdat', 'wab.tdat',
          'Applications.tdat', 'treeobj.tdat', 'maindata.ini']:
    assert n in names, n
tree = z.read('treeobj.tdat')
for c in [b'favorites.tdat', b'Fonts.tdat', b'wab.tdat', b'Applications.tdat']:
    assert c in tree, c
assert b'MyFiles.tdat' not in tree
assert z.read('Fonts/a.ttf') == b'\x7f' * 3000
)";
    ASSERT_EQ(0, Python(check, m_dir.Str()));

    // A fresh home and registry: the address book is registered under another name
    // and exists, one font is there already, nothing else is.
    UseHome(m_dir / "fresh");
    UseRegistry(m_dir / "fresh.sqlite");
    SetText(CWabData::kWab5Key, "", m_home + "/Mail/other.wab");
    Put(m_home + "/Mail/other.wab", "the book in use");
    Put(Data("fonts/a.ttf"), "mine");
    std::uint32_t failures = 99;
    const std::string report = Restore(backup, failures);
    EXPECT_EQ(0u, failures) << report;

    EXPECT_EQ(std::string("WAB\0\x01\x02", 6), tbmtest::ReadFileBytes(m_home + "/Mail/other.wab"));
    EXPECT_EQ("the book in use", tbmtest::ReadFileBytes(m_home + "/Mail/other(1).wab"));
    EXPECT_EQ("URL=http://a/\r\n", tbmtest::ReadFileBytes(Data("TBManager/Favorites/Links/a.url")));
    EXPECT_EQ("URL=http://b/\r\n", tbmtest::ReadFileBytes(Data("TBManager/Favorites/b.url")));
    EXPECT_EQ("mine", tbmtest::ReadFileBytes(Data("fonts/a.ttf")));
    EXPECT_EQ("OTTO font", tbmtest::ReadFileBytes(Data("fonts/b.otf")));
    EXPECT_EQ("[geany]\npref_editor_tab_width=4\n", tbmtest::ReadFileBytes(Config("geany/geany.conf")));
}

TEST_F(PersonalRoundTripTest, CraftedNamesAndRegistryFilesReachNothingOutsideTheirPlaces)
{
    // The catalogue of a crafted backup: favorites that climb out of the folder or
    // name a registry export, and one sound favorite.
    CFavoritesData writer;
    for (const char* name : {"Fav\\..\\..\\x", "Fav\\/etc\\passwd", "Fav\\C:\\x", "Fav\\ok.url"})
        AddCrafted(writer, name, 0);
    AddCrafted(writer, "Fav\\evil.reg", itemkind::kOLRegAccounts);
    const std::string backup = WriteCraftedBackup(
        writer, "favorites.tdat", itemkind::kFavorites,
        "for n in ['Fav/../../x', 'Fav//etc/passwd', 'Fav/C:/x', 'Fav/ok.url']:\n"
        "    z.writestr(n, 'bad' if n != 'Fav/ok.url' else 'ok!')\n"
        "z.writestr('Fav/evil.reg', 'REGEDIT4\\r\\n\\r\\n"
        "[HKEY_CURRENT_USER\\\\Software\\\\TBManager\\\\Schedule]\\r\\n"
        "\"Run\"=\"evil\"\\r\\n')\n");

    std::uint32_t failures = 0;
    const std::string report = Restore(backup, failures);
    EXPECT_EQ("ok!", tbmtest::ReadFileBytes(Data("TBManager/Favorites/ok.url")));
    for (const char* name : {"Fav\\..\\..\\x", "Fav\\/etc\\passwd", "Fav\\C:\\x", "Fav\\evil.reg"})
        EXPECT_NE(std::string::npos, report.find(std::string("Fail to restore ") + name)) << name;
    struct stat st
    {
    };
    EXPECT_NE(0, lstat(Data("x").c_str(), &st));
    EXPECT_NE(0, lstat(Data("TBManager/Favorites/evil.reg").c_str(), &st));
    EXPECT_FALSE(KeyExists("Software\\TBManager\\Schedule"));
}

TEST_F(PersonalRoundTripTest, RegistryFilesWithKeysOutsideTheirKindsKeyAreNotImportedAtAll)
{
    const std::string target = "{22222222-2222-2222-2222-222222222222}";
    const auto write = [this](const std::string& name, const std::string& body) {
        const std::string path = m_dir / name;
        tbmtest::WriteFileBytes(path, "REGEDIT4\r\n\r\n" + body);
        return path;
    };
    const std::string accounts = "Software\\Microsoft\\Office\\Outlook\\OMI Account Manager";
    // One good key and one that reaches the file association: nothing is imported.
    const std::string mixed = write("mixed.reg", "[HKEY_CURRENT_USER\\" + accounts +
                                                     "]\r\n\"A\"=\"1\"\r\n\r\n"
                                                     "[HKEY_CURRENT_USER\\Software\\Classes\\.tbm]\r\n"
                                                     "@=\"Evil\"\r\n");
    // A rules file that names another identity, and one in the machine's root.
    const std::string other = write("rules.reg", "[HKEY_CURRENT_USER\\Identities\\{33333333-3333-"
                                                 "3333-3333-333333333333}\\Software\\Microsoft\\"
                                                 "Outlook Express\\5.0\\Rules]\r\n\"R\"=\"1\"\r\n");
    const std::string machine =
        write("machine.reg", "[HKEY_LOCAL_MACHINE\\" + accounts + "]\r\n\"A\"=\"1\"\r\n");
    const std::string good = write("good.reg", "[HKEY_CURRENT_USER\\" + accounts + "\\00000001]\r\n"
                                               "\"A\"=\"2\"\r\n");

    CRegistryImport registryImport(m_work);
    EXPECT_FALSE(registryImport.RestoreRegistryItem(mixed, itemkind::kOLRegAccounts, "", ""));
    EXPECT_FALSE(registryImport.RestoreRegistryItem(other, itemkind::kOERules, target, target));
    EXPECT_FALSE(registryImport.RestoreRegistryItem(machine, itemkind::kOLRegAccounts, "", ""));
    EXPECT_FALSE(KeyExists(accounts));
    EXPECT_FALSE(KeyExists("Software\\Classes\\.tbm"));
    EXPECT_FALSE(KeyExists("Identities"));
    int refused = 0;
    for (const std::string& line : LogLines())
        refused += line.rfind("Fail to import registry file ", 0) == 0 ? 1 : 0;
    EXPECT_EQ(3, refused);

    EXPECT_TRUE(registryImport.RestoreRegistryItem(good, itemkind::kOLRegAccounts, "", ""));
    EXPECT_EQ("2", GetText(accounts + "\\00000001", "A"));
}
