// What the restore does with a file already in place, by section kind and preference.
#include "RestoreFixture.h"

#include "ItemKinds.h"
#include "ResultCodes.h"

#include <sys/stat.h>
#include <utime.h>

namespace {

using restoretest::CFakeIdentity;
using restoretest::PlanEntry;
using restoretest::RestoreTest;

bool Exists(const std::string& path)
{
    struct stat st
    {
    };
    return lstat(path.c_str(), &st) == 0;
}

const std::vector<CBackupTreeItem> kSources{
    {"Outlook.tdat", "", itemkind::kOutlook},     {"{A1}.tdat", "Alice", itemkind::kOEIdentity},
    {"favorites.tdat", "", itemkind::kFavorites}, {"wab.tdat", "", itemkind::kAddressBook},
    {"Fonts.tdat", "", itemkind::kFonts},
};

struct RuleCase
{
    const char* name;
    std::uint32_t section; // the source's kind
    std::uint32_t entryKind;
    const char* entryName;
    int o2Rename;
    int wabSave;
    int resFileType;
    bool existing;
    const char* expectTarget; // content at the target afterwards
    const char* expectAside;  // name the old file was moved to, or ""
};

class RestoreRuleTest : public RestoreTest, public ::testing::WithParamInterface<RuleCase>
{
};

TEST_P(RestoreRuleTest, ExistingTargetIsTreatedByKind)
{
    const RuleCase& c = GetParam();
    g_Preferences.m_nR_O2_Rename = c.o2Rename;
    g_Preferences.m_nR_Wab_Save = c.wabSave;
    g_Preferences.m_nResFileType = c.resFileType;
    BuildBackup(kSources, {{c.entryName, "new"}});
    const std::string name = restoretest::FileNameOf(c.entryName);
    if (c.existing)
        tbmtest::WriteFileBytes(Target(name), "old");
    const std::vector<PlanEntry> plan{{c.entryName, m_target, c.entryKind, 3}};
    if (c.section == itemkind::kMyFiles) {
        m_pMyFiles->m_Plan = plan;
    } else if (c.section == itemkind::kOEIdentity) {
        auto identity = std::make_unique<CFakeIdentity>("Alice", "{T9}");
        identity->m_Plan = plan;
        m_engine.SetRestoreIdentity("{A1}.tdat", std::move(identity));
    } else {
        AddSource(c.section)->m_Plan = plan;
    }
    OpenAndBuild();
    if (c.section != itemkind::kMyFiles)
        Check(c.section);

    ASSERT_EQ(RunRestore(), 0);
    EXPECT_EQ(tbmtest::ReadFileBytes(Target(name)), c.expectTarget);
    if (*c.expectAside) {
        EXPECT_EQ(tbmtest::ReadFileBytes(Target(c.expectAside)), "old");
    }
    // Nothing else appeared beside the target.
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(m_target))
        ++files;
    EXPECT_EQ(files, *c.expectAside ? 2 : 1);
    EXPECT_EQ(m_recorder.EventValues(notify::kRestoreDone).size(), 1u);
    // A file kept on purpose is not a failure.
    EXPECT_EQ(m_engine.GetRestoreFailures(), 0u);
}

// Defaults: R_O2_Rename 1, R_Wab_Save 1, ResFileType 0.
INSTANTIATE_TEST_SUITE_P(
    ByKind, RestoreRuleTest,
    ::testing::Values(
        RuleCase{"OutlookRenamed", 0, 5, "OutlookData/FilePersonal/mail.pst", 1, 1, 0, true, "new",
                 "mail.pst.001"},
        RuleCase{"OutlookOverwritten", 0, 5, "OutlookData/FilePersonal/mail.pst", 0, 1, 0, true,
                 "new", ""},
        RuleCase{"OutlookNew", 0, 5, "OutlookData/FilePersonal/mail.pst", 1, 1, 0, false, "new",
                 ""},
        RuleCase{"IdentityRenamed", 2, 21, "OE/{A1}/dbx/Inbox.dbx", 0, 0, 0, true, "new",
                 "Inbox.dbx.001"},
        RuleCase{"AddressBookRenamed", 15, 15, "Wab/book.wab", 1, 1, 0, true, "new", "book(1).wab"},
        RuleCase{"AddressBookOverwritten", 15, 15, "Wab/book.wab", 1, 0, 0, true, "new", ""},
        RuleCase{"FontsKept", 24, 24, "Fonts/serif.ttf", 1, 1, 2, true, "old", ""},
        RuleCase{"FontsNew", 24, 24, "Fonts/serif.ttf", 1, 1, 0, false, "new", ""},
        RuleCase{"FavoritesOverwritten", 13, 13, "Fav/Links/site.url", 1, 1, 0, true, "new", ""},
        RuleCase{"MyFilesKept", 4, 4, "home/u/a.txt", 1, 1, 0, true, "old", ""},
        RuleCase{"MyFilesReplaced", 4, 4, "home/u/a.txt", 1, 1, 2, true, "new", ""},
        RuleCase{"MyFilesNew", 4, 4, "home/u/a.txt", 1, 1, 0, false, "new", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RestoreTest, SecondRenameTakesTheNextNumber)
{
    BuildBackup(kSources, {{"OutlookData/FilePersonal/mail.pst", "new"}});
    tbmtest::WriteFileBytes(Target("mail.pst"), "old");
    tbmtest::WriteFileBytes(Target("mail.pst.001"), "older");
    AddSource(itemkind::kOutlook)->m_Plan = {{"OutlookData/FilePersonal/mail.pst", m_target, 5, 3}};
    OpenAndBuild();
    Check(itemkind::kOutlook);
    ASSERT_EQ(RunRestore(), 0);
    EXPECT_EQ(tbmtest::ReadFileBytes(Target("mail.pst")), "new");
    EXPECT_EQ(tbmtest::ReadFileBytes(Target("mail.pst.001")), "older");
    EXPECT_EQ(tbmtest::ReadFileBytes(Target("mail.pst.002")), "old");
    EXPECT_NE(m_engine.GetReport().GetText().find("Rename file " + Target("mail.pst") +
                                                  " to file " + Target("mail.pst.002")),
              std::string::npos);
}

TEST_F(RestoreTest, RenamesThatFailSkipTheEntryAndKeepTheFileInPlace)
{
    // A name of 254 characters has no room for "(1)" or ".001": the rename fails,
    // even for a user who may write anywhere.
    const std::string name = std::string(250, 'b') + ".wab";
    const std::string dbx = std::string(250, 'd') + ".dbx";
    BuildBackup(kSources, {{"Wab/" + name, "new"}, {"OE/{A1}/dbx/" + dbx, "new"}});
    tbmtest::WriteFileBytes(Target(name), "old");
    tbmtest::WriteFileBytes(Target(dbx), "old");
    AddSource(itemkind::kAddressBook)->m_Plan = {{"Wab/" + name, m_target, 15, 3}};
    auto identity = std::make_unique<CFakeIdentity>("Alice", "{T9}");
    identity->m_Plan = {{"OE/{A1}/dbx/" + dbx, m_target, itemkind::kOEMailFolders, 3}};
    m_engine.SetRestoreIdentity("{A1}.tdat", std::move(identity));
    OpenAndBuild();
    Check(itemkind::kAddressBook);
    Check(itemkind::kOEIdentity);
    ASSERT_EQ(RunRestore(), 0);
    EXPECT_EQ(tbmtest::ReadFileBytes(Target(name)), "old");
    EXPECT_EQ(tbmtest::ReadFileBytes(Target(dbx)), "old");
    EXPECT_NE(m_engine.GetReport().GetText().find("Fail to rename file : " + Target(name)),
              std::string::npos);
    EXPECT_NE(m_engine.GetReport().GetText().find("Skip restoring file " + Target(dbx)),
              std::string::npos);
    EXPECT_EQ(m_recorder.EventValues(notify::kRestoreDone).size(), 1u);
}

struct TimeCase
{
    const char* name;
    int resFileType;
    long existingOffset; // existing file's time minus the stored time, seconds
    const char* expect;
};

class RestoreTimeTest : public RestoreTest, public ::testing::WithParamInterface<TimeCase>
{
};

TEST_P(RestoreTimeTest, MyFilesReplaceByTime)
{
    const TimeCase& c = GetParam();
    g_Preferences.m_nResFileType = c.resFileType;
    const std::time_t stored = 1600000000; // even: a time the archive keeps exactly
    BuildBackup({}, {{"home/u/a.txt", "new", stored}});
    const std::string path = Target("a.txt");
    tbmtest::WriteFileBytes(path, "old");
    const std::time_t existing = stored + c.existingOffset;
    const utimbuf times{existing, existing};
    ASSERT_EQ(utime(path.c_str(), &times), 0);
    m_pMyFiles->m_Plan = {{"home/u/a.txt", m_target, 4, 3}};
    OpenAndBuild();
    ASSERT_EQ(RunRestore(), 0);
    EXPECT_EQ(tbmtest::ReadFileBytes(path), c.expect);
}

INSTANTIATE_TEST_SUITE_P(
    ResFileType, RestoreTimeTest,
    ::testing::Values(TimeCase{"NewerInPlaceKept", 1, 100, "old"},
                      TimeCase{"OlderInPlaceReplaced", 1, -100, "new"},
                      TimeCase{"SameTimeReplaced", 1, 0, "new"},
                      // The archive keeps times to 2 seconds: one second more is the same.
                      TimeCase{"WithinTwoSecondsReplaced", 1, 1, "new"},
                      TimeCase{"TwoSecondsNewerKept", 1, 2, "old"},
                      TimeCase{"AlwaysReplaced", 2, 100, "new"},
                      TimeCase{"AnyOtherValueReplaces", 7, 100, "new"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RestoreTest, TargetOutsideItsFolderIsRefused)
{
    BuildBackup({}, {{"home/u/a.txt", "new"}, {"../../evil.txt", "bad"}});
    const std::string outside = m_dir / "victim.txt";
    tbmtest::WriteFileBytes(outside, "mine");
    m_pMyFiles->m_Plan = {
        // The checks would look at one file while the extraction writes another.
        {"home/u/a.txt", m_target, 4, 3, outside},
        // A name that climbs out lands inside the folder under its file name.
        {"../../evil.txt", m_target, 4, 3},
    };
    g_Preferences.m_nResFileType = 2;
    OpenAndBuild();
    ASSERT_EQ(RunRestore(), 0);
    EXPECT_EQ(tbmtest::ReadFileBytes(outside), "mine");
    EXPECT_FALSE(Exists(Target("a.txt")));
    EXPECT_EQ(tbmtest::ReadFileBytes(Target("evil.txt")), "bad");
    EXPECT_FALSE(Exists(m_dir / "evil.txt"));
    EXPECT_NE(m_engine.GetReport().GetText().find("Fail to restore file " + outside),
              std::string::npos);
    EXPECT_EQ(m_engine.GetRestoreFailures(), 1u);
}

TEST_F(RestoreTest, LinkInPlaceIsNeverWrittenThrough)
{
    BuildBackup({}, {{"home/u/a.txt", "new"}});
    const std::string outside = m_dir / "victim.txt";
    tbmtest::WriteFileBytes(outside, "mine");
    ASSERT_EQ(symlink(outside.c_str(), Target("a.txt").c_str()), 0);
    g_Preferences.m_nResFileType = 2;
    m_pMyFiles->m_Plan = {{"home/u/a.txt", m_target, 4, 3}};
    OpenAndBuild();
    ASSERT_EQ(RunRestore(), 0);
    EXPECT_EQ(tbmtest::ReadFileBytes(outside), "mine");
    EXPECT_EQ(tbmtest::ReadFileBytes(Target("a.txt")), "new");
}

} // namespace
