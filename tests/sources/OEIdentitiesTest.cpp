// Outlook Express identities: which identities a registry store offers, backups of
// an identity read by Python's zipfile, restores into the same identity, another
// one and new ones, and backups that were tampered with.
#include "OEIdentitySample.h"
#include "PersonalFixture.h"
#include "ScriptedPrompt.h"

#include "DataSources.h"
#include "OEData.h"
#include "OEIdentities.h"

#include "BackupManger.h"
#include "CheckTreeModel.h"
#include "ItemKinds.h"
#include "ItemTag.h"
#include "Prompt.h"

#include <cstdio>
#include <functional>
#include <map>

namespace {

const std::string kAlice = "{A11CE000-0000-4000-8000-000000000001}";
const std::string kNoStore = "{B0000000-0000-4000-8000-000000000002}";
const std::string kOld = "{C0000000-0000-4000-8000-000000000003}";
const std::string kBob = "{B0B00000-0000-4000-8000-000000000004}";
const std::string kRelative = "{D0000000-0000-4000-8000-000000000005}";

std::string Express(const std::string& guid, const std::string& version = "5.0")
{
    return "Identities\\" + guid + "\\Software\\Microsoft\\Outlook Express\\" + version;
}

} // namespace

class OEIdentitiesTest : public PersonalFixture
{
protected:
    void SetUp() override
    {
        PersonalFixture::SetUp();
        g_ProjectData.NewJob();
        ASSERT_TRUE(g_ProjectData.RenameJob("Mail"));
        g_ProjectData.SaveJob();
    }

    std::string Store(const std::string& guid) const
    {
        return Data("Identities/" + guid + "/Microsoft/Outlook Express");
    }

    // The identities of the fixture; Alice's store holds an index of three folders
    // (one of them nested) and their files.
    void SetUpIdentities()
    {
        SetText("Identities", "Default User ID", kAlice);
        AddIdentity(kAlice, "Alice", "%LocalAppData%\\Identities\\" + kAlice +
                                         "\\Microsoft\\Outlook Express");
        AddIdentity(kNoStore, "Nobody", "");
        SetText(Express(kOld, "4.0"), "Store Root", Store(kOld));
        SetText("Identities\\" + kOld, "Username", "Old");
        AddIdentity(kBob, "Bob", Store(kBob));
        SetText(Express(kBob, "4.0"), "Store Root", "/elsewhere");
        AddIdentity(kRelative, "Relative", "Mail\\Store");
        AddIdentity("NotAGuid", "Crafted", Store("NotAGuid"));
        tbm::CreateFolderPath(Store(kBob), 0700);

        tbmtest::WriteSampleSettings(SetText, kAlice, Express(kAlice));
        tbmtest::WriteSampleStore(Store(kAlice));
    }

    void AddIdentity(const std::string& guid, const std::string& name, const std::string& root)
    {
        SetText("Identities\\" + guid, "Username", name);
        SetText(Express(guid), "Store Root", root);
    }

    // Backs up the identities (only the one named `m_onlyIdentity` when it is set);
    // the collect's result.
    int BackUp(std::string& backup)
    {
        tbm::CreateFolderPath(m_dir / "out", 0700);
        EXPECT_TRUE(g_ProjectData.SetDefaultOutputFolder(m_dir / "out"));
        EXPECT_TRUE(g_ProjectData.SetBackupFileName("mail"));
        CCheckTreeModel tree;
        CBackupManger engine;
        CDataSources::Install(engine);
        engine.Reset();
        engine.SetMode(0);
        engine.BuildBackupTree(&tree);
        for (TvTreeItem node = tree.GetRootItem(); node; node = tree.GetNextItemEx(node)) {
            const auto* tag = reinterpret_cast<const ItemTag*>(tree.GetItemData(node));
            const bool chosen = tag && tag->kind == itemkind::kOEIdentity &&
                                (m_onlyIdentity.empty() || tree.GetItemText(node) == m_onlyIdentity);
            tree.SetItemCheckState(node, chosen ? tvcheck::kChecked : tvcheck::kUnchecked);
        }
        if (m_stop)
            engine.GetScanCancelEvent().Set();
        const int collected = engine.Collect();
        if (collected != 0)
            return collected;
        EXPECT_EQ(1, engine.WriteCatalogue());
        engine.StartBackup(nullptr);
        engine.WaitForWorker();
        EXPECT_EQ(RunEnding::kFinished, engine.GetLastRun().kind);
        backup = g_ProjectData.GetOutputPath();
        return collected;
    }

    // Restores every identity of the backup into the identity `target` names for
    // its GUID; the restore's failures, its report in `report`.
    std::uint32_t Restore(const std::string& backup,
                          const std::function<std::string(COEIdentities&, const std::string&)>& target,
                          std::string& report)
    {
        CCheckTreeModel tree;
        CBackupManger engine;
        const InstalledSources sources = CDataSources::Install(engine);
        OpenForRestore(engine, tree, backup);
        std::string failed;
        EXPECT_TRUE(COEIdentities::LoadRestoreIdentities(
            engine,
            [&](const COEData& data) { return target(*sources.identities, data.GetGuid()); },
            failed));
        if (m_uncheckMail)
            for (const CBackupTreeItem* item : engine.GetCatalogueList())
                if (auto* data = dynamic_cast<COEData*>(engine.GetRestoreIdentity(item->m_strCatalogueFile)))
                    UncheckMailFolders(data->GetTree());
        CheckSources(tree);
        if (engine.StartRestore(nullptr) == 0)
            engine.WaitForWorker();
        report = engine.GetReport().GetText();
        engine.BuildRestoreTree(nullptr);
        return engine.GetRestoreFailures();
    }

    static void UncheckMailFolders(CCheckTreeModel& tree)
    {
        for (TvTreeItem item = tree.GetRootItem(); item; item = tree.GetNextItemEx(item))
            if (const auto* stored = reinterpret_cast<const CAddInfo*>(tree.GetItemData(item));
                stored && stored->m_dwKind == itemkind::kOEMailFolders)
                tree.SetItemCheckState(item, tvcheck::kUnchecked);
    }

    std::string ZipCheck(const std::string& backup, const std::string& body) const
    {
        return "import zipfile\nz = zipfile.ZipFile('" + backup +
               "')\nassert z.testzip() is None\nnames = set(z.namelist())\n" + body;
    }

    tbmtest::CScriptedPrompt m_prompt;
    bool m_stop = false;
    std::string m_onlyIdentity;
    bool m_uncheckMail = false;
};

TEST_F(OEIdentitiesTest, OnlyIdentitiesWithAStoreOfGuidFormAreListed)
{
    COEIdentities none;
    EXPECT_EQ(2, none.Enumerate()) << "no Default User ID";
    EXPECT_FALSE(none.IsPresent());

    SetUpIdentities();
    COEIdentities identities;
    ASSERT_EQ(1, identities.Enumerate());
    EXPECT_EQ((std::vector<std::string>{kAlice, kBob}), identities.GetGuids());
    EXPECT_EQ((std::vector<std::string>{"Alice", "Bob"}), identities.GetNames());
    EXPECT_EQ("Alice", identities.GetMainUserName());

    COEData bob;
    bob.Initialise(kBob, "Bob");
    EXPECT_EQ(5, bob.GetVersion()) << "5.0 is taken over 4.0";
    EXPECT_EQ(Store(kBob), bob.GetStoreFolder());
    COEData old;
    old.Initialise(kOld, "Old");
    EXPECT_EQ(3, old.ReadOEData());
    COEData alice;
    alice.Initialise(kAlice, "Alice");
    EXPECT_EQ(Store(kAlice) + "/Folders.dbx", alice.GetIndexFile()) << "environment expanded";
    // A relative or empty root is no store, never the file-system root.
    EXPECT_EQ("", COEData::LookUpStoreFolder(kRelative));
    EXPECT_EQ("", COEData::LookUpStoreFolder(kNoStore));
    EXPECT_EQ("", COEData::LookUpStoreFolder("NotAGuid"));
}

TEST_F(OEIdentitiesTest, BackupHoldsSettingsMailFilesAndIndexAndRestoresIntoTheSameIdentity)
{
    SetUpIdentities();
    std::string backup;
    // Bob has an empty store: his index is missing, which the prompt is asked about.
    m_prompt.SetDefaultAnswer(IDSKIPFILE);
    ASSERT_EQ(0, BackUp(backup));
    const std::string a = "OE/" + kAlice + "/";
    ASSERT_EQ(0, Python(ZipCheck(backup, R"(
a = ')" + a + R"('
want = {a + n for n in ['OEAccounts.reg', 'OEAccounts1.reg', 'OERules.reg', 'OESig.reg',
                        'OEPref.reg', 'OEBSenders.reg', 'dbx/Inbox.dbx', 'dbx/Lists.dbx',
                        'dbx/Sent Items.dbx', 'dbx/Folders.dbx']}
want.add(')" + kAlice + R"(.tdat')
assert want <= names, want - names
assert len([n for n in names if n.startswith(a) and not n.endswith('/')]) == len(want) - 1, sorted(names)
assert z.read(a + 'dbx/Inbox.dbx') == b'inbox mail'
assert b'alice.example' in z.read(a + 'OEAccounts1.reg')
assert b'global.example' in z.read(a + 'OEAccounts.reg')
assert b')" + kAlice + R"(.tdat' in z.read('treeobj.tdat')
)"),
                        m_dir.Str()));

    // The same identity, whose files and settings changed since: the files in place
    // are kept as ".001", the settings come back.
    Put(Store(kAlice) + "/Inbox.dbx", "newer mail");
    SetText(Express(kAlice) + "\\Rules\\Mail\\000", "Name", "changed");
    std::string report;
    EXPECT_EQ(0u, Restore(backup, [](COEIdentities&, const std::string& guid) { return guid; },
                          report))
        << report;
    EXPECT_EQ("inbox mail", tbmtest::ReadFileBytes(Store(kAlice) + "/Inbox.dbx"));
    EXPECT_EQ("newer mail", tbmtest::ReadFileBytes(Store(kAlice) + "/Inbox.dbx.001"));
    EXPECT_EQ("Spam rule", GetText(Express(kAlice) + "\\Rules\\Mail\\000", "Name"));
    EXPECT_NE(std::string::npos, report.find("Restore to Identity GUID: " + kAlice)) << report;
}

TEST_F(OEIdentitiesTest, RestoreIntoAnotherAndIntoNewIdentities)
{
    SetUpIdentities();
    std::string backup;
    m_prompt.SetDefaultAnswer(IDSKIPFILE);
    m_onlyIdentity = "Alice";
    ASSERT_EQ(0, BackUp(backup));
    std::string report;
    // Another identity: the settings arrive below its keys, the mail in its store.
    EXPECT_EQ(0u, Restore(backup, [](COEIdentities&, const std::string&) { return kBob; }, report))
        << report;
    EXPECT_EQ("Spam rule", GetText(Express(kBob) + "\\Rules\\Mail\\000", "Name"));
    EXPECT_EQ("spam@x", GetText(Express(kBob) + "\\Block Senders\\Mail\\Criteria\\0", "Sender"));
    EXPECT_EQ("Work sig", GetText(Express(kBob) + "\\signatures\\00000000", "name"));
    EXPECT_EQ("1", GetText(Express(kBob) + "\\Mail", "Show Images"));
    // Both accounts exports share one tree item; both come back.
    EXPECT_EQ("alice.example",
              GetText("Identities\\" + kBob + "\\" + tbmtest::kSampleAccounts + "00000002", "Account Name"));
    EXPECT_EQ("global.example",
              GetText("Identities\\" + kBob + "\\" + tbmtest::kSampleAccounts + "00000001", "Account Name"));
    for (const char* name : {"Inbox.dbx", "Lists.dbx", "Sent Items.dbx", "Folders.dbx"})
        EXPECT_EQ(tbmtest::ReadFileBytes(Store(kAlice) + "/" + name),
                  tbmtest::ReadFileBytes(Store(kBob) + "/" + name))
            << name;

    // A home and a registry with no identities at all: two new ones, the first
    // becoming the default identity.
    UseHome(m_dir / "fresh");
    UseRegistry(m_dir / "fresh.sqlite");
    std::vector<std::string> made;
    const auto fresh = [&made](COEIdentities& identities, const std::string&) {
        made.push_back(identities.ChooseRestoreTarget(kAlice));
        return made.back();
    };
    EXPECT_EQ(0u, Restore(backup, fresh, report)) << report;
    m_uncheckMail = true;
    EXPECT_EQ(0u, Restore(backup, fresh, report)) << report;
    ASSERT_EQ(2u, made.size());
    COEIdentities identities;
    ASSERT_EQ(1, identities.Enumerate());
    EXPECT_EQ(made[0], identities.GetMainGuid());
    EXPECT_EQ(2u, identities.GetGuids().size());
    for (std::size_t i = 0; i < 2; ++i) {
        const std::string name = identities.GetGuids()[i] == made[0] ? "Restored Identity"
                                                                      : "Restored Identity(1)";
        EXPECT_EQ(name, identities.GetNames()[i]);
    }
    const std::string store = COEData::LookUpStoreFolder(made[0]);
    EXPECT_EQ(Data("Identities/" + made[0] + "/Microsoft/Outlook Express"), store);
    EXPECT_EQ("list mail", tbmtest::ReadFileBytes(store + "/Lists.dbx"));
    EXPECT_EQ("Spam rule", GetText(Express(made[0]) + "\\Rules\\Mail\\000", "Name"));
    // The second restore took the settings only: no index without its mail files.
    const std::string second = COEData::LookUpStoreFolder(made[1]);
    EXPECT_EQ("Spam rule", GetText(Express(made[1]) + "\\Rules\\Mail\\000", "Name"));
    struct stat st
    {
    };
    EXPECT_NE(0, stat((second + "/Folders.dbx").c_str(), &st));
    EXPECT_NE(0, stat((second + "/Inbox.dbx").c_str(), &st));
}

TEST_F(OEIdentitiesTest, CancelAndStopEndTheCollectAndTheSettingsChoiceIsKept)
{
    SetUpIdentities();
    m_onlyIdentity = "Alice";
    std::string backup;
    std::remove((Store(kAlice) + "/Lists.dbx").c_str());
    m_prompt.QueueAnswer(IDCANCEL);
    EXPECT_EQ(7, BackUp(backup));
    m_stop = true;
    EXPECT_EQ(12, BackUp(backup));

    // The settings choice comes back in the next run; without an index the settings
    // are offered still.
    {
        COEData alice;
        alice.SetMode(0);
        alice.Initialise(kAlice, "Alice");
        ASSERT_EQ(1, alice.FillTree());
        CCheckTreeModel& tree = alice.GetTree();
        for (TvTreeItem item = tree.GetRootItem(); item; item = tree.GetNextItemEx(item))
            if (tree.GetItemText(item) == LoadResString(164))
                tree.SetItemCheckState(item, tvcheck::kUnchecked);
        alice.SaveSelection();
    }
    std::remove((Store(kAlice) + "/Folders.dbx").c_str());
    COEData alice;
    alice.SetMode(0);
    alice.Initialise(kAlice, "Alice");
    EXPECT_EQ(0, alice.FillTree());
    std::map<std::string, int> states;
    CCheckTreeModel& tree = alice.GetTree();
    for (TvTreeItem item = tree.GetRootItem(); item; item = tree.GetNextItemEx(item))
        states[tree.GetItemText(item)] = tree.GetItemCheckState(item);
    EXPECT_EQ(6u, states.size());
    EXPECT_EQ(tvcheck::kUnchecked, states[LoadResString(164)]);
    EXPECT_EQ(tvcheck::kChecked, states[LoadResString(161)]);
    EXPECT_EQ(tvcheck::kChecked, states[LoadResString(166)]);
}

namespace {

class CReportLines : public CTextSink
{
public:
    using CTextSink::WriteLine;
    void WriteLine(const char* line) override { lines.emplace_back(line ? line : ""); }
    bool Has(const std::string& part) const
    {
        for (const std::string& line : lines)
            if (line.find(part) != std::string::npos)
                return true;
        return false;
    }
    std::vector<std::string> lines;
};

} // namespace

TEST_F(OEIdentitiesTest, ATamperedCatalogueOrAMissingStorePlansNothingOutOfPlace)
{
    SetUpIdentities();
    COEData writer;
    const auto add = [&writer](const std::string& name, std::uint32_t kind, const std::string& path) {
        auto info = std::make_unique<CAddInfo>();
        info->m_strSourcePath = "/x";
        info->m_strEntryName = name;
        info->m_strTreePath = path;
        info->m_dwKind = kind;
        writer.GetItemList().Add(std::move(info));
    };
    const std::string a = "OE\\" + kAlice + "\\";
    add(a + "dbx\\..\\..\\escape.dbx", itemkind::kOEMailFolders, "Mail\\Escape");
    add("OE\\" + kBob + "\\OERules.reg", itemkind::kOERules, "OE\\Rules");
    add(a + "evil.reg", itemkind::kOERules, "OE\\Evil");
    add(a + "dbx\\x.pst", itemkind::kOLPersonal, "OE\\Outlook");
    add(a + "OEAccounts.reg", itemkind::kOEAccounts, "OE\\Accounts");
    add(a + "OEAccounts1.reg", itemkind::kOEIdentityAccounts, "OE\\Accounts");
    add(a + "dbx\\Folders.dbx", itemkind::kOEMailFolders, "");
    const std::string catalogue = m_dir / "catalogue.tdat";
    ASSERT_EQ(1, writer.WriteCatalogueFile(catalogue));
    int extracted = 0;
    const auto extract = [&](const std::string&, std::string& path) {
        ++extracted;
        path = catalogue;
        return 0;
    };
    CReportLines report;
    int code = 0;
    for (const std::string& crafted : std::vector<std::string>{"..\\x.tdat", "NotAGuid.tdat", kAlice})
        EXPECT_EQ(nullptr, COEData::ForRestore(crafted, "Crafted", extract, &report, code)) << crafted;
    EXPECT_EQ(10, code);
    EXPECT_EQ(0, extracted) << "a crafted name is never extracted";

    auto data = COEData::ForRestore(kAlice + ".tdat", "Alice", extract, &report, code);
    ASSERT_NE(nullptr, data);
    // No store folder to restore into: a report line, and nothing planned.
    EXPECT_FALSE(data->SetRestoreTarget("..", 0));
    data->SetRestoreTarget(kRelative, 0);
    ASSERT_EQ(0, data->PlanRestore());
    EXPECT_EQ(0u, data->GetRestorePlan().GetSize());
    EXPECT_TRUE(report.Has("has no store folder"));

    data->SetRestoreTarget(kBob, 0);
    ASSERT_EQ(0, data->PlanRestore());
    std::vector<std::string> planned;
    for (const CAddInfo* plan : data->GetRestorePlan())
        planned.push_back(plan->m_strTargetPath);
    // Both accounts exports, nothing else; no index without a mail file.
    EXPECT_EQ((std::vector<std::string>{g_ProjectData.GetWorkFolder() + "/OEAccounts.reg",
                                        g_ProjectData.GetWorkFolder() + "/OEAccounts1.reg"}),
              planned);
    EXPECT_TRUE(report.Has("escape.dbx: its name leads outside"));
    EXPECT_TRUE(report.Has("evil.reg: its name leads outside"));
    EXPECT_TRUE(report.Has(kBob + "\\OERules.reg: its name leads outside"));
    EXPECT_TRUE(report.Has("x.pst: it is no file of an identity"));
}
