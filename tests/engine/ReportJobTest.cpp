// Reports of a job: headers from the current job, saving, a verification appended
// to the backup's report, and showing the saved file.
#include "EngineTest.h"
#include "HtmlReport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>
#include <utility>

using namespace enginetest;

namespace {

class ReportJobTest : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        g_ProjectData.NewJob();
        g_ProjectData.SetDescription("Photos & <mail>");
        g_ProjectData.m_dwBackupType = 1;
    }

    // Lines inserted before `marker`, between it and the end of the previous tag line.
    static std::string Before(const std::string& text, const std::string& marker)
    {
        const std::size_t at = text.find(marker);
        if (at == std::string::npos)
            return "(no marker)";
        const std::size_t start = text.rfind('\n', at);
        return text.substr(start + 1, at - start - 1);
    }

    CHtmlReport m_report;
};

TEST_F(ReportJobTest, BackupHeaderDescribesTheJobAndLeavesTheLogPlaceholder)
{
    m_report.BackupHeader();
    EXPECT_EQ(CHtmlReport::kBackupSt, m_report.GetPlaceholder());
    const std::string expected =
        "Backup Job Name : My Backup<br>Backup Job Date : 03/05/2024<br>"
        "Backup Job Time : 02:07 PM<br>Backup Description : Photos &amp; &lt;mail&gt;<br><br>"
        "Backup Output File : " +
        g_ProjectData.GetOutputPath() +
        "<br>Backup Type : " + CHtmlReport::EscapeHtml(LoadResString(151)) + "<br>";
    EXPECT_EQ(expected, Before(m_report.GetText(), CHtmlReport::kBackupInfo));
}

TEST_F(ReportJobTest, BackupHeaderOfAJobWithAPasswordNamesItsMethodLast)
{
    g_ProjectData.SetPassword("secret");
    const std::string type =
        "Backup Type : " + CHtmlReport::EscapeHtml(LoadResString(151)) + "<br>";
    for (const auto& [method, name] :
         {std::pair{CProjectData::kEncryptAes256, "AES-256"},
          std::pair{CProjectData::kEncryptTraditional, "traditional ZIP encryption"}}) {
        ASSERT_TRUE(g_ProjectData.SetEncryption(method));
        m_report.BackupHeader();
        const std::string header = Before(m_report.GetText(), CHtmlReport::kBackupInfo);
        const std::string tail = type + "Backup Encryption : " + name + "<br>";
        ASSERT_GE(header.size(), tail.size());
        EXPECT_EQ(tail, header.substr(header.size() - tail.size())) << header;
    }
}

TEST_F(ReportJobTest, RestoreHeaderNamesTheBackupFile)
{
    g_ProjectData.SetRestoreSourcePath("/media/u/STICK/My Backup.tbm");
    m_report.RestoreHeader();
    EXPECT_EQ(CHtmlReport::kRestoreInfo, m_report.GetPlaceholder());
    EXPECT_EQ("Restore File Name : /media/u/STICK/My Backup.tbm<br>",
              Before(m_report.GetText(), CHtmlReport::kRestoreInfo));
}

TEST_F(ReportJobTest, VerificationIsAppendedToTheSavedBackupReport)
{
    ASSERT_TRUE(g_ProjectData.SaveJob());
    m_report.BackupHeader();
    m_report.WriteLine("Reading Favorites");
    m_report.WriteLine("Backup finished");
    ASSERT_EQ(1, m_report.SaveBackupReport());
    m_report.SetPlaceholder(CHtmlReport::kBackupVer);
    m_report.WriteLine("Testing backup");
    ASSERT_EQ(1, m_report.SaveBackupReport());

    const std::string saved =
        tbmtest::ReadFileBytes(g_ProjectData.GetPathInJobFolder("backup.html"));
    EXPECT_EQ("Reading Favorites<br>Backup finished<br>", Before(saved, CHtmlReport::kBackupSt));
    EXPECT_EQ("Testing backup<br>", Before(saved, CHtmlReport::kBackupVer));
    EXPECT_EQ(0600, ModeOf(g_ProjectData.GetPathInJobFolder("backup.html")));
}

TEST_F(ReportJobTest, SavedReportHasCrLfLineEndsOnly)
{
    ASSERT_TRUE(g_ProjectData.SaveJob());
    m_report.BackupHeader();
    m_report.WriteLine("line");
    ASSERT_EQ(1, m_report.SaveBackupReport());
    const std::string saved =
        tbmtest::ReadFileBytes(g_ProjectData.GetPathInJobFolder("backup.html"));
    ASSERT_GT(saved.size(), 100u);
    EXPECT_EQ(std::string::npos, saved.find("\r\r"));
    for (std::size_t at = saved.find('\n'); at != std::string::npos; at = saved.find('\n', at + 1))
        ASSERT_EQ('\r', saved[at - 1]) << "bare line feed at " << at;
    EXPECT_EQ("\r\n", saved.substr(saved.size() - 2));
}

TEST_F(ReportJobTest, RestoreReportGoesToTheApplicationDataFolder)
{
    m_report.RestoreHeader();
    m_report.SetPlaceholder(CHtmlReport::kRestoreSt);
    m_report.WriteLine("Restore finished");
    ASSERT_EQ(1, m_report.SaveRestoreReport());
    const std::string path = CEngineFolders::GetAppDataFolder() + "/Restore.html";
    EXPECT_EQ(path, CHtmlReport::GetRestoreReportPath());
    EXPECT_EQ("Restore finished<br>",
              Before(tbmtest::ReadFileBytes(path), CHtmlReport::kRestoreSt));
}

TEST_F(ReportJobTest, SaveFailureReturnsZero)
{
    m_report.BackupHeader();
    // The job was never saved: its folder does not exist.
    EXPECT_EQ(0, m_report.SaveBackupReport());
    EXPECT_EQ(0, ModeOf(CHtmlReport::GetBackupReportPath()));
}

TEST_F(ReportJobTest, ShowOpensOnlyASavedReport)
{
    const std::string script = m_dir / "opener.sh";
    const std::string record = m_dir / "opened.txt";
    {
        std::ofstream out(script);
        out << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << record << "'\n";
    }
    chmod(script.c_str(), 0755);
    g_Globals.SetOpenCommand(script);
    m_report.ShowBackupReport(); // never saved: nothing is opened
    ASSERT_EQ(1, m_report.SaveRestoreReport());
    m_report.ShowRestoreReport();
    // The opener runs in the background; wait for its record.
    for (int i = 0; i < 6000 && tbmtest::ReadFileBytes(record).empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    g_Globals.SetOpenCommand({});
    EXPECT_EQ(CHtmlReport::GetRestoreReportPath() + "\n", tbmtest::ReadFileBytes(record));
}

} // namespace
