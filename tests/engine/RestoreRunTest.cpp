// The restore run: sections, messages, cancel, the registry step and the report.
#include "RestoreFixture.h"

#include "ItemKinds.h"
#include "ResourceLibrary.h"
#include "WorkerPriority.h"
#include "ResultCodes.h"

#include <sys/stat.h>

#include <filesystem>
#include <tuple>

namespace {

using restoretest::CFakeIdentity;
using restoretest::CFakeRestoreSource;
using restoretest::CRestoreRecorder;
using restoretest::RestoreTest;

bool Exists(const std::string& path)
{
    struct stat st
    {
    };
    return lstat(path.c_str(), &st) == 0;
}

const std::vector<CBackupTreeItem> kSources{
    {"Outlook.tdat", "", itemkind::kOutlook},
    {"{A1}.tdat", "Alice", itemkind::kOEIdentity},
    {"favorites.tdat", "", itemkind::kFavorites},
    {"Fonts.tdat", "", itemkind::kFonts},
};

std::vector<int> Codes(const CRestoreRecorder& recorder)
{
    std::vector<int> codes;
    for (const auto& event : recorder.Events())
        codes.push_back(event.code);
    return codes;
}

TEST_F(RestoreTest, SectionsRunInPlanningOrderWithTheirMessages)
{
    BuildBackup(kSources, {{"OutlookData/FilePersonal/mail.pst", "pst!"},
                           {"Fav/site.url", "url"},
                           {"home/u/a.txt", "hello"}});
    AddSource(itemkind::kOutlook)->m_Plan = {{"OutlookData/FilePersonal/mail.pst", m_target, 5, 4}};
    AddSource(itemkind::kFavorites)->m_Plan = {{"Fav/site.url", m_target, 13, 3}};
    m_pMyFiles->m_Plan = {{"home/u/a.txt", m_target, 4, 5}};
    OpenAndBuild();
    Check(itemkind::kOutlook);
    Check(itemkind::kFavorites);

    ASSERT_EQ(RunRestore(), 0);
    EXPECT_EQ(m_engine.GetRestoreSectionKinds(), (std::vector<std::uint16_t>{0, 13, 4}));
    EXPECT_EQ(m_engine.GetRestoreTotalBytes(), 12u);
    using notify::kRestorePath, notify::kRestoreSection, notify::kRestoreSectionEnded;
    EXPECT_EQ(Codes(m_recorder),
              (std::vector<int>{notify::kRestoreStarted, kRestoreSection, kRestorePath,
                                kRestoreSectionEnded, kRestoreSection, kRestorePath,
                                kRestoreSectionEnded, kRestoreSection, kRestorePath,
                                kRestoreSectionEnded, notify::kRestoreDone}));
    EXPECT_EQ(
        m_recorder.TextsOf(kRestoreSection),
        (std::vector<std::string>{LoadResString(156), LoadResString(174), LoadResString(158)}));
    EXPECT_EQ(m_recorder.TextsOf(kRestorePath),
              (std::vector<std::string>{Target("mail.pst"), Target("site.url"), Target("a.txt")}));
    EXPECT_EQ(m_recorder.EventValues(kRestoreSectionEnded), (std::vector<std::intptr_t>{4, 3, 5}));
    EXPECT_EQ(tbmtest::ReadFileBytes(Target("mail.pst")), "pst!");
    EXPECT_EQ(tbmtest::ReadFileBytes(Target("a.txt")), "hello");
    EXPECT_FALSE(m_engine.GetProgress().m_RunningEvent.IsSet());

    // The report: planning lines before the start, the run's lines after it, saved.
    const std::string report = tbmtest::ReadFileBytes(CHtmlReport::GetRestoreReportPath());
    const std::size_t planned = report.find(LoadResString(233));
    const std::size_t finished = report.find(LoadResString(239));
    ASSERT_NE(planned, std::string::npos);
    ASSERT_NE(finished, std::string::npos);
    EXPECT_LT(finished, report.find(CHtmlReport::kRestoreSt));
}

TEST_F(RestoreTest, NothingCheckedIsNothingToRestore)
{
    BuildBackup(kSources, {{"Fav/site.url", "url"}});
    CFakeRestoreSource* favorites = AddSource(itemkind::kFavorites);
    favorites->m_Plan = {{"Fav/site.url", m_target, 13, 3}};
    OpenAndBuild();
    EXPECT_EQ(RunRestore(), result::kNothingToRestore);
    EXPECT_EQ(favorites->m_nPlans, 0);
    EXPECT_EQ(m_pMyFiles->m_nPlans, 1);
    EXPECT_TRUE(m_recorder.Events().empty());
    EXPECT_FALSE(Exists(Target("site.url")));
}

TEST_F(RestoreTest, OnlyMyFilesIsOneSection)
{
    // Files of no bytes are still files to restore.
    BuildBackup(kSources, {{"home/u/empty.txt", ""}});
    m_pMyFiles->m_Plan = {{"home/u/empty.txt", m_target, 4, 0}};
    OpenAndBuild();
    ASSERT_EQ(RunRestore(), 0);
    EXPECT_EQ(m_engine.GetRestoreSectionKinds(), (std::vector<std::uint16_t>{4}));
    EXPECT_TRUE(Exists(Target("empty.txt")));
    EXPECT_EQ(m_recorder.EventValues(notify::kRestoreDone).size(), 1u);
}

TEST_F(RestoreTest, SectionWhoseEntriesAreAllMissingEndsWithItsPlannedTotal)
{
    BuildBackup(kSources, {});
    AddSource(itemkind::kFonts)->m_Plan = {{"Fonts/a.ttf", m_target, 24, 1000},
                                           {"Fonts/b.ttf", m_target, 24, 234}};
    OpenAndBuild();
    Check(itemkind::kFonts);
    ASSERT_EQ(RunRestore(), 0);
    EXPECT_EQ(m_recorder.EventValues(notify::kRestoreSectionEnded),
              (std::vector<std::intptr_t>{1234}));
    EXPECT_TRUE(m_recorder.TextsOf(notify::kRestorePath).empty());
    EXPECT_FALSE(Exists(Target("a.ttf")));
    EXPECT_EQ(m_recorder.EventValues(notify::kRestoreDone).size(), 1u);
    // What the catalogue promised and the backup lacks is a failure, named.
    EXPECT_EQ(m_engine.GetRestoreFailures(), 2u);
    EXPECT_EQ(m_engine.GetRestoredEntries(), 0u);
    const std::string& report = m_engine.GetReport().GetText();
    EXPECT_NE(report.find(Target("a.ttf") + ": missing from the backup"), std::string::npos);
    EXPECT_NE(report.find(Target("b.ttf") + ": missing from the backup"), std::string::npos);
}

TEST_F(RestoreTest, CancelInTheSecondSectionStopsTheRest)
{
    BuildBackup(kSources, {{"OutlookData/a.pst", "one"},
                           {"Fav/b.url", "two"},
                           {"Fav/c.url", "three"},
                           {"home/u/d.txt", "four"}});
    AddSource(itemkind::kOutlook)->m_Plan = {{"OutlookData/a.pst", m_target, 5, 3}};
    AddSource(itemkind::kFavorites)->m_Plan = {{"Fav/b.url", m_target, 13, 3},
                                               {"Fav/c.url", m_target, 13, 5}};
    m_pMyFiles->m_Plan = {{"home/u/d.txt", m_target, 4, 4}};
    OpenAndBuild();
    Check(itemkind::kOutlook);
    Check(itemkind::kFavorites);
    // The user cancels while the second section's first file is being restored.
    CBackupProgress& progress = m_engine.GetProgress();
    m_recorder.m_OnPost = [&](int code, const std::string& text) {
        if (code == notify::kRestorePath && text == Target("b.url"))
            progress.m_CancelEvent.Set();
    };
    ASSERT_EQ(RunRestore(), 0);
    EXPECT_TRUE(Exists(Target("a.pst")));
    EXPECT_FALSE(Exists(Target("c.url")));
    EXPECT_FALSE(Exists(Target("d.txt")));
    EXPECT_EQ(m_recorder.TextsOf(notify::kRestoreSection).size(), 2u);
    EXPECT_TRUE(m_recorder.EventValues(notify::kRestoreDone).empty());
    EXPECT_FALSE(progress.m_RunningEvent.IsSet());
    EXPECT_TRUE(Exists(CHtmlReport::GetRestoreReportPath()));

    // The next restore of the same backup is not refused by the old cancel.
    m_recorder.m_OnPost = nullptr;
    m_recorder.Clear();
    AddSource(itemkind::kFavorites)->m_Plan = {{"Fav/c.url", m_target, 13, 5}};
    ASSERT_EQ(RunRestore(), 0);
    EXPECT_EQ(tbmtest::ReadFileBytes(Target("c.url")), "three");
}

// A Stop pressed right after the start or between two sections was lost when the
// next section began: the run went on to the end.
TEST_F(RestoreTest, AStopBeforeASectionEndsTheRunThere)
{
    BuildBackup(kSources, {{"OutlookData/a.pst", "one"}, {"Fav/b.url", "two"}});
    CBackupProgress& progress = m_engine.GetProgress();
    for (const int stopAt : {notify::kRestoreStarted, notify::kRestoreSectionEnded}) {
        SCOPED_TRACE(stopAt);
        std::filesystem::remove_all(m_target);
        std::filesystem::create_directories(m_target);
        m_recorder.Clear();
        AddSource(itemkind::kOutlook)->m_Plan = {{"OutlookData/a.pst", m_target, 5, 3}};
        AddSource(itemkind::kFavorites)->m_Plan = {{"Fav/b.url", m_target, 13, 3}};
        OpenAndBuild();
        Check(itemkind::kOutlook);
        Check(itemkind::kFavorites);
        m_recorder.m_OnPost = [&](int code, const std::string&) {
            if (code == stopAt)
                progress.m_StopEvent.Set();
        };
        ASSERT_EQ(RunRestore(), 0);
        EXPECT_EQ(Exists(Target("a.pst")), stopAt == notify::kRestoreSectionEnded);
        EXPECT_FALSE(Exists(Target("b.url")));
        EXPECT_EQ(m_recorder.TextsOf(notify::kRestoreSection).size(),
                  stopAt == notify::kRestoreSectionEnded ? 1u : 0u);
        EXPECT_TRUE(m_recorder.EventValues(notify::kRestoreDone).empty());
        EXPECT_FALSE(progress.m_RunningEvent.IsSet());
        m_recorder.m_OnPost = nullptr;
    }
}

TEST_F(RestoreTest, RegistryExportsOfAnIdentityGoToTheImportAndNoOthers)
{
    BuildBackup(kSources, {{"OE/{A1}/accounts.reg", "REGEDIT4"},
                           {"OE/{A1}/dbx/Inbox.dbx", "dbx"},
                           {"Fav/evil.reg", "REGEDIT4"}});
    auto identity = std::make_unique<CFakeIdentity>("Alice", "{T9}");
    identity->m_Plan = {{"OE/{A1}/accounts.reg", m_workFolder, itemkind::kOEAccounts, 8},
                        {"OE/{A1}/dbx/Inbox.dbx", m_target, itemkind::kOEMailFolders, 3}};
    m_engine.SetRestoreIdentity("{A1}.tdat", std::move(identity));
    // A favorites section that claims to hold Outlook's accounts.
    AddSource(itemkind::kFavorites)->m_Plan = {
        {"Fav/evil.reg", m_target, itemkind::kOLRegAccounts, 8}};
    std::vector<std::tuple<std::string, std::uint32_t, std::string, std::string, std::string>>
        calls;
    m_engine.SetRegistryImportHook([&](const std::string& path, std::uint32_t kind,
                                       const std::string& backupGuid,
                                       const std::string& targetGuid) {
        calls.emplace_back(path, kind, backupGuid, targetGuid, tbmtest::ReadFileBytes(path));
        return true;
    });
    OpenAndBuild();
    Check(itemkind::kOEIdentity);
    Check(itemkind::kFavorites);
    ASSERT_EQ(RunRestore(), 0);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_NE(m_engine.GetReport().GetText().find("Fail to import registry file " +
                                                  Target("evil.reg")),
              std::string::npos);
    EXPECT_EQ(calls[0],
              std::make_tuple(m_workFolder + "/accounts.reg", itemkind::kOEAccounts,
                              std::string("{A1}"), std::string("{T9}"), std::string("REGEDIT4")));
    EXPECT_EQ(m_recorder.TextsOf(notify::kRestoreSection).front(),
              "Outlook Express identity: Alice");
}

TEST_F(RestoreTest, WithoutARegistryImportTheReportSaysSo)
{
    BuildBackup(kSources, {{"OutlookData/OLReg/options.reg", "REGEDIT4"}});
    AddSource(itemkind::kOutlook)->m_Plan = {
        {"OutlookData/OLReg/options.reg", m_workFolder, itemkind::kOLRegOptions, 8}};
    OpenAndBuild();
    Check(itemkind::kOutlook);
    ASSERT_EQ(RunRestore(), 0);
    EXPECT_NE(m_engine.GetReport().GetText().find("Fail to import registry file"),
              std::string::npos);
    EXPECT_EQ(m_recorder.EventValues(notify::kRestoreDone).size(), 1u);
}

TEST_F(RestoreTest, StartEndsEarlyWhenAMailProgramStaysOpenOrPlanningIsCancelled)
{
    BuildBackup(kSources, {{"OutlookData/a.pst", "one"}});
    CFakeRestoreSource* outlook = AddSource(itemkind::kOutlook);
    outlook->m_Plan = {{"OutlookData/a.pst", m_target, 5, 3}};
    OpenAndBuild();
    Check(itemkind::kOutlook);
    std::vector<std::uint32_t> asked;
    m_engine.SetMailProgramOpenHook([&](std::uint32_t kind) {
        asked.push_back(kind);
        return true;
    });
    EXPECT_EQ(RunRestore(), result::kRestoreCancel);
    EXPECT_EQ(asked, (std::vector<std::uint32_t>{itemkind::kOutlook}));
    EXPECT_EQ(outlook->m_nPlans, 0);

    m_engine.SetMailProgramOpenHook(nullptr);
    outlook->m_nPlanResult = result::kCancel;
    EXPECT_EQ(RunRestore(), result::kCancel);
    EXPECT_TRUE(m_recorder.Events().empty());
    EXPECT_FALSE(Exists(Target("a.pst")));
}

TEST(RestoreWorkerPriorityTest, PreferenceMapsToNiceValues)
{
    const std::vector<std::pair<int, int>> cases{{-15, 19}, {-2, 10}, {-1, 5},   {0, 0},
                                                 {1, -5},   {2, -10}, {15, -20}, {99, -20}};
    for (const auto& [preference, nice] : cases)
        EXPECT_EQ(NiceValueOfPriority(preference), nice) << preference;
}

} // namespace
