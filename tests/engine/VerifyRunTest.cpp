#include "BackupTestFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using backuptest::BackupMangerTest;

class VerifyRunTest : public BackupMangerTest
{
protected:
    // A backup of three files, one of them stored as it is (shorter than 5 bytes)
    // so that the test can find its bytes in the archive.
    void BackUpThreeFiles()
    {
        m_pSource->m_Files = {{MakeFile("a.txt", std::string(20000, 'a')), "home\\u\\a.txt"},
                              {MakeFile("mark", "Q7#z"), "home\\u\\mark"},
                              {MakeFile("c.txt", "ccccccccccccccc"), "home\\u\\c.txt"}};
        Backup();
        ASSERT_EQ(m_recorder.EventValues(notify::kBackupDone).size(), 1u);
        m_recorder.Clear();
    }

    std::vector<std::intptr_t> Ended() const
    {
        return m_recorder.EventValues(notify::kVerifyEnded);
    }
    std::size_t Passed() const { return m_recorder.EventValues(notify::kVerifyPassed).size(); }
};

TEST_F(VerifyRunTest, IntactArchivePassesAndTheReportHoldsTheRun)
{
    BackUpThreeFiles();
    RunVerify();
    EXPECT_EQ(Passed(), 1u);
    EXPECT_TRUE(Ended().empty());
    // Every entry is named while it is tested: the three catalogue files and three
    // files.
    const auto names = m_recorder.Texts(notify::kEvent, notify::kVerifyName);
    EXPECT_EQ(names.size(), 6u);
    EXPECT_NE(std::find(names.begin(), names.end(), "home\\u\\mark"), names.end());
    EXPECT_FALSE(m_engine.GetProgress().m_RunningEvent.IsSet());
    EXPECT_EQ(m_engine.GetReport().GetPlaceholder(), CHtmlReport::kBackupVer);
    // The verification's lines stand before the verification marker of the saved
    // report, after the backup's.
    const std::string saved = tbmtest::ReadFileBytes(CHtmlReport::GetBackupReportPath());
    const std::size_t started = saved.find(CHtmlReport::EscapeHtml(LoadResString(192)));
    const std::size_t passed = saved.find(CHtmlReport::EscapeHtml(LoadResString(195)));
    ASSERT_NE(started, std::string::npos);
    ASSERT_NE(passed, std::string::npos);
    EXPECT_LT(saved.find(CHtmlReport::EscapeHtml(LoadResString(202))), started);
    EXPECT_LT(passed, saved.find(CHtmlReport::kBackupVer));
    EXPECT_NE(saved.find(FillInserts(LoadResString(191), {"6"})), std::string::npos);
}

TEST_F(VerifyRunTest, DamagedEntryIsCountedAsAFailure)
{
    BackUpThreeFiles();
    std::string bytes = tbmtest::ReadFileBytes(g_ProjectData.GetOutputPath());
    const std::size_t at = bytes.find("Q7#z");
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(bytes.find("Q7#z", at + 1), std::string::npos);
    bytes[at + 1] = 'X';
    tbmtest::WriteFileBytes(g_ProjectData.GetOutputPath(), bytes);

    RunVerify();
    EXPECT_EQ(Passed(), 0u);
    EXPECT_EQ(Ended(), std::vector<std::intptr_t>{1});
    EXPECT_TRUE(ReportHas(FillInserts(LoadResString(190), {"home\\u\\mark"})));
    EXPECT_TRUE(ReportHas(196));
    // The other entries were still tested.
    EXPECT_EQ(m_recorder.Texts(notify::kEvent, notify::kVerifyName).size(), 6u);
}

TEST_F(VerifyRunTest, WrongPasswordFailsEveryEncryptedEntry)
{
    g_ProjectData.SetPassword("secret");
    BackUpThreeFiles();
    g_ProjectData.SetPassword("other");
    RunVerify();
    EXPECT_EQ(Passed(), 0u);
    ASSERT_EQ(Ended().size(), 1u);
    EXPECT_GE(Ended()[0], 3);
    g_ProjectData.SetPassword("secret");
    m_recorder.Clear();
    RunVerify();
    EXPECT_EQ(Passed(), 1u);
}

struct UnopenableCase
{
    const char* name;
    const char* content; // null: no file at all
};

class VerifyUnopenableTest : public VerifyRunTest,
                             public ::testing::WithParamInterface<UnopenableCase>
{
};

TEST_P(VerifyUnopenableTest, EndsAsUnreadableNotAsZeroFailures)
{
    if (GetParam().content)
        tbmtest::WriteFileBytes(g_ProjectData.GetOutputPath(), GetParam().content);
    RunVerify();
    EXPECT_EQ(Ended(), std::vector<std::intptr_t>{notify::kVerifyUnreadable});
    EXPECT_EQ(Passed(), 0u);
    EXPECT_TRUE(m_recorder.Texts(notify::kEvent, notify::kVerifyName).empty());
    EXPECT_TRUE(ReportHas(193));
    // The error is shown to the user.
    ASSERT_EQ(m_prompt.Messages().size(), 1u);
    EXPECT_EQ(m_prompt.Messages()[0].style & MB_ICONERROR, MB_ICONERROR);
    EXPECT_FALSE(m_engine.GetProgress().m_RunningEvent.IsSet());
}

INSTANTIATE_TEST_SUITE_P(Files, VerifyUnopenableTest,
                         ::testing::Values(UnopenableCase{"Missing", nullptr},
                                           UnopenableCase{"Empty", ""},
                                           UnopenableCase{"Garbage", "this is not an archive"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(VerifyRunTest, RefusedPasswordEndsAsUnreadable)
{
    BackUpThreeFiles();
    g_ProjectData.SetPassword("p\xC3\xA4ss");
    RunVerify();
    EXPECT_EQ(Ended(), std::vector<std::intptr_t>{notify::kVerifyUnreadable});
    EXPECT_TRUE(ReportHas(201));
    EXPECT_TRUE(m_recorder.Texts(notify::kEvent, notify::kVerifyName).empty());
}

TEST_F(VerifyRunTest, CancelledVerificationStillEnds)
{
    std::vector<std::pair<std::string, std::string>> files;
    for (int i = 0; i < 30; ++i)
        files.push_back(
            {MakeFile("f" + std::to_string(i), std::string(200000, 'v')), "f" + std::to_string(i)});
    m_pSource->m_Files = files;
    Backup();
    m_recorder.Clear();
    // A cancel at once after the start ends the verification as stopped, however
    // soon it comes: it is never cleared by the run itself.
    ASSERT_EQ(m_engine.Verify(&m_recorder), 0);
    m_engine.RequestCancel();
    m_engine.WaitForWorker();
    EXPECT_EQ(Ended(), std::vector<std::intptr_t>{0});
    EXPECT_EQ(Passed(), 0u);
    EXPECT_FALSE(m_engine.GetProgress().m_RunningEvent.IsSet());
}

} // namespace

namespace {

TEST_F(VerifyRunTest, EmptyPasswordLeavesEveryEntryPlain)
{
    g_ProjectData.SetPassword("");
    BackUpThreeFiles();
    EXPECT_EQ(backuptest::RunCommand(
                  "python3 -c \"import zipfile,sys; z=zipfile.ZipFile(sys.argv[1]); "
                  "assert z.infolist() and all(i.flag_bits & 1 == 0 for i in z.infolist())\" '" +
                  g_ProjectData.GetOutputPath() + "'"),
              0);
    RunVerify();
    EXPECT_EQ(Passed(), 1u);
}

} // namespace
