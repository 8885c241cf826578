// Outlook 2000/XP data: backups of homes set up as Office 9.0, 10.0 and 11.0 read by
// Python's zipfile and restored into a home where Outlook was never set up, then
// once more over the restored files; a crafted backup; the mail-program check.
#include "PersonalFixture.h"
#include "ScriptedPrompt.h"

#include "DataSources.h"
#include "MailProgramCheck.h"
#include "MainCatalogue.h"
#include "OutlookData.h"
#include "XpropOutput.h"

#include "BackupManger.h"
#include "CheckTreeModel.h"
#include "ItemKinds.h"
#include "ItemTag.h"
#include "Preferences.h"

#include <unistd.h>

namespace {

const std::string kOffice = "Software\\Microsoft\\Office\\";
const std::string kAccounts = kOffice + "Outlook\\OMI Account Manager";

// A window finder whose windows are what the test says; closing works after a given
// number of requests.
class CScriptedFinder : public CWindowFinder
{
public:
    Found Find(const std::string& windowClass, const std::string& title) override
    {
        ++finds;
        if (!windowClass.empty() && windowClass == openClass)
            return Found::ByClass;
        return !title.empty() && title == openTitle ? Found::ByTitle : Found::None;
    }
    bool RequestClose(const std::string&, const std::string&) override
    {
        if (++closeRequests == closesAfter)
            openClass = openTitle = "";
        return true;
    }
    std::string openClass;
    std::string openTitle;
    int closesAfter = -1;
    int finds = 0;
    int closeRequests = 0;
};

} // namespace

class OutlookDataTest : public PersonalFixture
{
protected:
    // Outlook's folders with a file each (and what must not be taken: a dot-file, a
    // folder, a link) and its three keys for Office `version`.
    void SetUpOutlook(const std::string& version)
    {
        Put(Data("Microsoft/Outlook/Outlook.pst"),
            std::string("!BDN\0\x01", 6) + std::string(5000, 'p'));
        Put(Data("Microsoft/Outlook/.lock"), "hidden");
        Put(Data("Microsoft/Outlook/Sub/deep.pst"), "below");
        symlink("/etc/passwd", Data("Microsoft/Outlook/link.pst").c_str());
        Put(Config("Microsoft/Outlook/outlook.srs"), "settings");
        Put(Config("Microsoft/Signatures/Work.htm"), "<p>Regards</p>");
        Put(Data("Microsoft/FORMS/frmcache.dat"), "forms");
        SetText(kOffice + "Common", "x", "1");
        SetText(kOffice + version + "\\Outlook\\Options\\Mail", "EditorPreference", "131072");
        SetText(kOffice + version + "\\Outlook\\Categories", "MasterList", "Business;Gifts");
        SetText(kAccounts + "\\00000001", "Account Name", "mail.example");
        // Where no Outlook keeps anything: never exported.
        SetText(kOffice + "Options", "Stray", "1");
    }

    std::string BackUp(std::shared_ptr<CWindowFinder> finder, int& collected)
    {
        g_ProjectData.NewJob();
        EXPECT_TRUE(g_ProjectData.RenameJob("Outlook " + std::to_string(++m_jobs)));
        tbm::CreateFolderPath(m_dir / "out", 0700);
        EXPECT_TRUE(g_ProjectData.SetDefaultOutputFolder(m_dir / "out"));
        EXPECT_TRUE(g_ProjectData.SetBackupFileName("outlook"));
        CCheckTreeModel tree;
        CBackupManger engine;
        CDataSources::Install(engine, std::move(finder));
        engine.Reset();
        engine.SetMode(0);
        engine.BuildBackupTree(&tree);
        CheckSources(tree);
        collected = engine.Collect();
        if (collected != 0)
            return {};
        EXPECT_EQ(1, engine.WriteCatalogue());
        engine.StartBackup(nullptr);
        engine.WaitForWorker();
        EXPECT_EQ(RunEnding::kFinished, engine.GetLastRun().kind);
        return g_ProjectData.GetOutputPath();
    }

    // Restores every section; the start's result, the failures and the report.
    int Restore(const std::string& backup, std::shared_ptr<CWindowFinder> finder,
                std::uint32_t& failures, std::string& report)
    {
        CCheckTreeModel tree;
        CBackupManger engine;
        CDataSources::Install(engine, std::move(finder));
        OpenForRestore(engine, tree, backup);
        CheckSources(tree);
        const int started = engine.StartRestore(nullptr);
        if (started == 0)
            engine.WaitForWorker();
        failures = engine.GetRestoreFailures();
        report = engine.GetReport().GetText();
        engine.BuildRestoreTree(nullptr);
        return started;
    }

    std::shared_ptr<CScriptedFinder> m_finder = std::make_shared<CScriptedFinder>();
    int m_jobs = 0;
};

class OutlookVersionTest : public OutlookDataTest, public ::testing::WithParamInterface<const char*>
{
};

TEST_P(OutlookVersionTest, BackupHoldsFilesAndExportsAndRestoresIntoAHomeWithoutOutlook)
{
    const std::string version = GetParam();
    const bool classic = version != "11.0";
    SetUpOutlook(version);
    COutlookData detected;
    ASSERT_TRUE(detected.IsPresent());
    EXPECT_EQ(std::stoi(version), detected.GetOfficeVersion());
    EXPECT_EQ(classic, !detected.GetOptionsKey().empty());
    EXPECT_EQ(classic, !detected.GetCategoriesKey().empty());
    EXPECT_EQ(kAccounts, detected.GetAccountsKey());

    int collected = -1;
    const std::string backup = BackUp(m_finder, collected);
    ASSERT_EQ(0, collected);
    const std::string check = R"(
import zipfile
z = zipfile.ZipFile(')" + backup +
                              R"(')
assert z.testzip() is None
names = set(z.namelist())
want = {'OutlookData/FilePersonal/Outlook.pst', 'OutlookData/FileSettings/outlook.srs',
        'OutlookData/Signatures/Work.htm', 'OutlookData/Forms/frmcache.dat',
        'OutlookData/OLReg/OLAccounts.reg', 'Outlook.tdat'}
if )" + (classic ? "True" : "False") +
                              R"(:
    want |= {'OutlookData/OLReg/OLOptions.reg', 'OutlookData/OLReg/OLCate.reg'}
assert want <= names, want - names
data = [n for n in names if n.startswith('OutlookData/') and not n.endswith('/')]
assert len(data) == len(want) - 1, sorted(data)
for n in data:
    if n.endswith('.reg'):
        text = z.read(n)
        assert text.startswith(b'REGEDIT4\r\n'), n
        assert b'Office\\Options]' not in text, n
assert b'mail.example' in z.read('OutlookData/OLReg/OLAccounts.reg')
assert b'Outlook.tdat' in z.read('treeobj.tdat')
)";
    ASSERT_EQ(0, Python(check, m_dir.Str()));

    // A home and a registry where Outlook was never set up: the folders are made.
    UseHome(m_dir / "fresh");
    UseRegistry(m_dir / "fresh.sqlite");
    std::uint32_t failures = 99;
    std::string report;
    ASSERT_EQ(0, Restore(backup, m_finder, failures, report));
    EXPECT_EQ(0u, failures) << report;
    EXPECT_EQ(std::string("!BDN\0\x01", 6) + std::string(5000, 'p'),
              tbmtest::ReadFileBytes(Data("Microsoft/Outlook/Outlook.pst")));
    EXPECT_EQ("settings", tbmtest::ReadFileBytes(Config("Microsoft/Outlook/outlook.srs")));
    EXPECT_EQ("<p>Regards</p>", tbmtest::ReadFileBytes(Config("Microsoft/Signatures/Work.htm")));
    EXPECT_EQ("forms", tbmtest::ReadFileBytes(Data("Microsoft/FORMS/frmcache.dat")));
    EXPECT_EQ("mail.example", GetText(kAccounts + "\\00000001", "Account Name"));
    EXPECT_EQ(classic ? "131072" : "<missing>",
              GetText(kOffice + version + "\\Outlook\\Options\\Mail", "EditorPreference"));
    EXPECT_EQ(classic ? "Business;Gifts" : "<missing>",
              GetText(kOffice + version + "\\Outlook\\Categories", "MasterList"));
    EXPECT_FALSE(KeyExists(kOffice + "Options"));

    // Again over the restored files: each file in place is kept as ".001".
    tbmtest::WriteFileBytes(Config("Microsoft/Outlook/outlook.srs"), "changed since");
    ASSERT_EQ(0, Restore(backup, m_finder, failures, report));
    EXPECT_EQ(0u, failures) << report;
    EXPECT_EQ("changed since", tbmtest::ReadFileBytes(Config("Microsoft/Outlook/outlook.srs.001")));
    EXPECT_EQ("settings", tbmtest::ReadFileBytes(Config("Microsoft/Outlook/outlook.srs")));
    EXPECT_EQ("forms", tbmtest::ReadFileBytes(Data("Microsoft/FORMS/frmcache.dat.001")));
    EXPECT_EQ(3, m_finder->finds) << "one look per run, and nobody asked";
}

INSTANTIATE_TEST_SUITE_P(Office, OutlookVersionTest, ::testing::Values("9.0", "10.0", "11.0"));

TEST_F(OutlookDataTest, TheChoiceIsKeptByPathAndAnUnattendedRunTakesIt)
{
    SetUpOutlook("10.0");
    Put(Data("Microsoft/Outlook/Archive.pst"), "archive");
    g_ProjectData.NewJob();
    ASSERT_TRUE(g_ProjectData.RenameJob("Choice"));
    g_ProjectData.SaveJob();
    {
        COutlookData outlook;
        outlook.SetMode(0);
        ASSERT_EQ(0, outlook.Load());
        outlook.FillTree();
        CCheckTreeModel& tree = outlook.GetTree();
        for (TvTreeItem item = tree.GetRootItem(); item; item = tree.GetNextItemEx(item)) {
            const std::string text = tree.GetItemText(item);
            if (text == "Archive.pst" || text == LoadResString(213))
                tree.SetItemCheckState(item, tvcheck::kUnchecked);
        }
        outlook.SaveSelection();
    }
    // A file that came since is taken; the ones left out stay out.
    Put(Data("Microsoft/Outlook/New.pst"), "new");
    COutlookData outlook;
    outlook.SetMode(0);
    std::string catalogue;
    ASSERT_EQ(0, outlook.Collect(catalogue));
    std::vector<std::string> names;
    for (const CAddInfo* info : outlook.GetItemList())
        names.push_back(info->m_strEntryName);
    EXPECT_EQ(
        (std::vector<std::string>{
            "", "OutlookData\\FilePersonal\\New.pst", "OutlookData\\FilePersonal\\Outlook.pst",
            "OutlookData\\FileSettings\\outlook.srs", "OutlookData\\Signatures\\Work.htm",
            "OutlookData\\Forms\\frmcache.dat", "OutlookData\\OLReg\\OLAccounts.reg",
            "OutlookData\\OLReg\\OLCate.reg"}),
        names);
}

TEST_F(OutlookDataTest, ACraftedBackupWritesNothingOutsideOutlooksFoldersAndKeys)
{
    COutlookData writer;
    const auto add = [&writer](const std::string& name, std::uint32_t kind) {
        AddCrafted(writer, name, kind, "Microsoft Outlook\\" + name);
    };
    add("OutlookData\\FilePersonal\\..\\..\\x", itemkind::kOLPersonal);
    add("OutlookData\\FileSettings\\Sub\\x", itemkind::kOLSettings);
    add("OutlookData\\Forms\\ok.pst", itemkind::kOLPersonal);
    add("OutlookData\\OLReg\\rules.reg", itemkind::kOERules);
    add("OutlookData\\OLReg\\..\\evil.reg", itemkind::kOLRegAccounts);
    add("OutlookData\\OLReg\\OLAccounts.reg", itemkind::kOLRegAccounts);
    add("OutlookData\\OLReg\\OLOptions.reg", itemkind::kOLRegOptions);
    add("OutlookData\\FilePersonal\\ok.pst", itemkind::kOLPersonal);
    const std::string backup = WriteCraftedBackup(
        writer, "Outlook.tdat", itemkind::kOutlook,
        "for n in ['OutlookData/FilePersonal/../../x', 'OutlookData/FileSettings/Sub/x',\n"
        "          'OutlookData/Forms/ok.pst', 'OutlookData/OLReg/rules.reg',\n"
        "          'OutlookData/OLReg/../evil.reg']:\n"
        "    z.writestr(n, 'bad')\n"
        "z.writestr('OutlookData/FilePersonal/ok.pst', 'ok!')\n"
        "z.writestr('OutlookData/OLReg/OLAccounts.reg', 'REGEDIT4\\r\\n\\r\\n"
        "[HKEY_CURRENT_USER\\\\Software\\\\TBManager\\\\Schedule]\\r\\n"
        "\"Run\"=\"evil\"\\r\\n')\n"
        "z.writestr('OutlookData/OLReg/OLOptions.reg', 'REGEDIT4\\r\\n\\r\\n"
        "[HKEY_CURRENT_USER\\\\Software\\\\Microsoft\\\\Office\\\\Options]\\r\\n"
        "\"Stray\"=\"evil\"\\r\\n')\n");

    std::uint32_t failures = 0;
    std::string report;
    ASSERT_EQ(0, Restore(backup, m_finder, failures, report));
    EXPECT_EQ("ok!", tbmtest::ReadFileBytes(Data("Microsoft/Outlook/ok.pst")));
    for (const char* name : {"OutlookData\\FilePersonal\\..\\..\\x",
                             "OutlookData\\FileSettings\\Sub\\x", "OutlookData\\Forms\\ok.pst",
                             "OutlookData\\OLReg\\rules.reg", "OutlookData\\OLReg\\..\\evil.reg"})
        EXPECT_NE(std::string::npos, report.find(std::string("Fail to restore ") + name)) << name;
    struct stat st
    {
    };
    EXPECT_NE(0, lstat(Data("x").c_str(), &st));
    EXPECT_NE(0, lstat(Config("Microsoft/Outlook/Sub").c_str(), &st));
    EXPECT_NE(0, lstat(Data("Microsoft/FORMS/ok.pst").c_str(), &st));
    EXPECT_FALSE(KeyExists("Software\\TBManager\\Schedule"));
    EXPECT_FALSE(KeyExists(kOffice + "Options"));
    EXPECT_EQ(2u, failures) << report; // the two registry files refused
}

TEST_F(OutlookDataTest, AMailProgramThatStaysOpenStopsItsBackupAndRestoreAfterBoundedQuestions)
{
    SetUpOutlook("9.0");
    int collected = -1;
    const std::string backup = BackUp(m_finder, collected);
    ASSERT_EQ(0, collected);

    // Running, and it never closes: every Yes is followed by a look; the last look
    // still finds it, and the restore is refused with 16 without touching a file.
    tbmtest::CScriptedPrompt prompt;
    prompt.SetDefaultAnswer(IDYES);
    m_finder->openTitle = CMailProgramCheck::kOutlookTitle;
    tbmtest::WriteFileBytes(Config("Microsoft/Outlook/outlook.srs"), "in use");
    std::uint32_t failures = 0;
    std::string report;
    EXPECT_EQ(16, Restore(backup, m_finder, failures, report));
    EXPECT_EQ(static_cast<std::size_t>(CMailProgramCheck::kMaxRounds), prompt.Messages().size());
    EXPECT_EQ(CMailProgramCheck::kMaxRounds, m_finder->closeRequests);
    EXPECT_EQ(MB_YESNO | MB_ICONWARNING, prompt.Messages().front().style);
    EXPECT_EQ("in use", tbmtest::ReadFileBytes(Config("Microsoft/Outlook/outlook.srs")));

    // No: the backup's collection is cancelled at the first question.
    prompt.SetDefaultAnswer(IDNO);
    BackUp(m_finder, collected);
    EXPECT_EQ(7, collected);
    EXPECT_EQ(static_cast<std::size_t>(CMailProgramCheck::kMaxRounds + 1),
              prompt.Messages().size());

    // Closed after the second request: the restore goes on.
    prompt.SetDefaultAnswer(IDYES);
    m_finder->closeRequests = 0;
    m_finder->closesAfter = 2;
    EXPECT_EQ(0, Restore(backup, m_finder, failures, report));
    EXPECT_EQ(static_cast<std::size_t>(CMailProgramCheck::kMaxRounds + 3),
              prompt.Messages().size());
    EXPECT_EQ("settings", tbmtest::ReadFileBytes(Config("Microsoft/Outlook/outlook.srs")));

    // Not running: nobody is asked.
    EXPECT_EQ(0, Restore(backup, m_finder, failures, report));
    EXPECT_EQ(static_cast<std::size_t>(CMailProgramCheck::kMaxRounds + 3),
              prompt.Messages().size());
}

TEST(MailProgramCheckTest, OutlookExpressKnownByItsTitleAloneIsNamedNotClosed)
{
    CScriptedFinder finder;
    tbmtest::CScriptedPrompt prompt;
    prompt.SetDefaultAnswer(IDYES);
    CMailProgramCheck check(finder, [](std::chrono::milliseconds) {});
    finder.openTitle = CMailProgramCheck::kExpressTitle;
    EXPECT_TRUE(check.StaysOpen(itemkind::kOEIdentity));
    ASSERT_EQ(1u, prompt.Messages().size());
    EXPECT_EQ(MB_OK | MB_ICONERROR, prompt.Messages().back().style);
    EXPECT_EQ(0, finder.closeRequests);

    finder.openTitle.clear();
    finder.openClass = CMailProgramCheck::kExpressClass;
    finder.closesAfter = 1;
    EXPECT_FALSE(check.StaysOpen(itemkind::kOEIdentity));
    EXPECT_EQ(2u, prompt.Messages().size());
    EXPECT_FALSE(check.StaysOpen(itemkind::kFonts));
}

TEST(XpropOutputTest, WindowListsAndTitlesAreReadWithTheirEscapes)
{
    EXPECT_EQ((std::vector<std::string>{"0x1a00003", "0x2000007"}),
              CXpropOutput::WindowIds("_NET_CLIENT_LIST(WINDOW): window id # 0x1a00003, 0x2000007, "
                                      "zz, 0x123456789abc\n"));
    EXPECT_TRUE(CXpropOutput::WindowIds("_NET_CLIENT_LIST:  not found.\n").empty());
    const std::string props = "WM_CLASS(STRING) = \"outlook.exe\", \"Wine\"\n"
                              "_NET_WM_NAME(UTF8_STRING) = \"Inbox - \\\"Microsoft\\\" \\101\\\\\n"
                              "WM_NAME(STRING) = \"unterminated\n";
    EXPECT_EQ((std::vector<std::string>{"outlook.exe", "Wine"}),
              CXpropOutput::Strings(props, "WM_CLASS"));
    EXPECT_EQ((std::vector<std::string>{"Inbox - \"Microsoft\" A\\"}),
              CXpropOutput::Strings(props, "_NET_WM_NAME"));
    EXPECT_EQ((std::vector<std::string>{"unterminated"}), CXpropOutput::Strings(props, "WM_NAME"));
    EXPECT_TRUE(CWindowFinder::TitleNames("Inbox - Microsoft Outlook", "Microsoft Outlook"));
    EXPECT_TRUE(CWindowFinder::TitleNames("Microsoft Outlook", "Microsoft Outlook"));
    EXPECT_FALSE(CWindowFinder::TitleNames("Microsoft Outlook Express", "Microsoft Outlook"));
    EXPECT_FALSE(CWindowFinder::TitleNames("- Microsoft Outlook", "Microsoft Outlook"));
}

TEST_F(OutlookDataTest, OnX11TheWindowsAreFoundThroughXpropAndWithoutADisplayNoneAre)
{
    // A stand-in xprop: two client windows, one of them Outlook's.
    const std::string bin = m_dir / "bin";
    Put(bin + "/xprop",
        "#!/bin/sh\n"
        "case \"$2\" in\n"
        "_NET_CLIENT_LIST) echo '_NET_CLIENT_LIST(WINDOW): window id # 0x400001, 0x400002';;\n"
        "0x400001) echo 'WM_CLASS(STRING) = \"xterm\", \"XTerm\"'\n"
        "          echo 'WM_NAME(STRING) = \"Microsoft Outlook\"';;\n"
        "0x400002) echo 'WM_CLASS(STRING) = \"outlook.exe\", \"Wine\"'\n"
        "          echo '_NET_WM_NAME(UTF8_STRING) = \"Inbox - Microsoft Outlook\"';;\n"
        "esac\n");
    chmod((bin + "/xprop").c_str(), 0700);
    const std::string path = std::getenv("PATH");
    setenv("PATH", (bin + ":" + path).c_str(), 1);
    setenv("DISPLAY", ":99", 1);
    const auto finder = CWindowFinder::ForThisSystem();
    EXPECT_EQ(CWindowFinder::Found::ByTitle, finder->Find({}, CMailProgramCheck::kOutlookTitle));
    EXPECT_EQ(CWindowFinder::Found::ByClass, finder->Find("Wine", "nothing"));
    EXPECT_EQ(CWindowFinder::Found::None,
              finder->Find(CMailProgramCheck::kExpressClass, CMailProgramCheck::kExpressTitle));
    unsetenv("DISPLAY");
    EXPECT_EQ(CWindowFinder::Found::None,
              CWindowFinder::ForThisSystem()->Find({}, CMailProgramCheck::kOutlookTitle));
    setenv("PATH", path.c_str(), 1);
}
