// A backup run never destroys the backup it replaces: a disk that fills up, a file
// that cannot be read and a cancel all leave the previous backup byte for byte as
// it was, and no temporary archive stays behind.
#include "BackupTestFixture.h"
#include "ZipContainer.h"
#include "ZipSimulatedDrive.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using backuptest::BackupMangerTest;
using backuptest::Noise;
using backuptest::RunCommand;

bool HasTemporaryFiles(const std::string& folder)
{
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().filename().string().find("~tbm") != std::string::npos)
            return true;
    return false;
}

// The output lies on a simulated fixed disk of 600,000 bytes.
class BackupSafetyTest : public BackupMangerTest, public ::testing::WithParamInterface<int>
{
protected:
    void SetUp() override
    {
        BackupMangerTest::SetUp();
        tbm::CreateFolderPath(m_dir / "store");
        m_drive = std::make_unique<CZipSimulatedDrive>(m_dir / "store");
        const int mount = m_drive->AddMount(m_dir / "disk", false);
        m_drive->Insert(mount, m_drive->AddDisk(600000, "DISK"));
        m_previous = CZipDrive::SetCurrent(m_drive.get());
        g_ProjectData.m_strOutputPath = m_dir / "disk/out.tbm";
        for (int i = 0; i < 40; ++i)
            m_pSource->m_Files.push_back({MakeFile("f" + std::to_string(i), Noise(5000, i)),
                                          "home\\u\\f" + std::to_string(i)});
    }
    void TearDown() override
    {
        CZipDrive::SetCurrent(m_previous);
        BackupMangerTest::TearDown();
    }

    // A first backup (normal), then the runs of the parameter's type.
    void FirstBackup()
    {
        Backup();
        ASSERT_EQ(m_recorder.EventValues(notify::kBackupDone).size(), 1u);
        m_before = tbmtest::ReadFileBytes(Out());
        g_ProjectData.m_dwBackupType = static_cast<std::uint32_t>(GetParam());
        m_recorder.Clear();
    }

    void ExpectPreviousUnchanged()
    {
        EXPECT_EQ(tbmtest::ReadFileBytes(Out()), m_before);
        EXPECT_EQ(RunCommand("unzip -tq '" + Out() + "'"), 0);
        EXPECT_FALSE(HasTemporaryFiles(m_dir / "disk"));
        EXPECT_FALSE(m_engine.GetProgress().m_RunningEvent.IsSet());
    }

    std::string Out() const { return g_ProjectData.GetOutputPath(); }

    std::unique_ptr<CZipSimulatedDrive> m_drive;
    CZipDrive* m_previous = nullptr;
    std::string m_before;
};

// The old backup takes about 200 KB; the new one, with a large file of noise added,
// does not fit beside it.
TEST_P(BackupSafetyTest, ADiskThatFillsUpFailsTheRunAndKeepsThePreviousBackup)
{
    FirstBackup();
    m_pSource->m_Files.push_back({MakeFile("big", Noise(450000, 77)), "home\\u\\big"});
    Backup();
    EXPECT_EQ(m_recorder.EventValues(notify::kBackupFailed).size(), 1u);
    EXPECT_TRUE(m_recorder.EventValues(notify::kBackupDone).empty());
    EXPECT_EQ(m_engine.GetLastRun().kind, RunEnding::kFailed);
    EXPECT_TRUE(ReportHas("The previous backup is unchanged."));
    ExpectPreviousUnchanged();
}

// Not even the room for a copy of the old backup: the run says so before it starts.
TEST_P(BackupSafetyTest, TooLittleRoomIsToldBeforeTheRun)
{
    FirstBackup();
    tbmtest::WriteFileBytes(m_dir / "disk/ballast", std::string(300000, 'b'));
    tbmtest::WriteFileBytes(m_dir / "f3", Noise(5000, 1000));
    Backup();
    EXPECT_EQ(m_recorder.EventValues(notify::kBackupFailed).size(), 1u);
    EXPECT_TRUE(ReportHas("There is not enough free space beside"));
    EXPECT_TRUE(m_recorder.EventValues(notify::kFileCount).empty());
    ExpectPreviousUnchanged();
}

TEST_P(BackupSafetyTest, ACancelKeepsThePreviousBackupExactly)
{
    FirstBackup();
    tbmtest::WriteFileBytes(m_dir / "f3", Noise(5000, 1000));
    m_engine.StartCollect(nullptr);
    ASSERT_EQ(m_engine.WaitCollect(), result::kSuccess);
    ASSERT_EQ(m_engine.WriteCatalogue(), 1);
    backuptest::CCancelAt cancel(m_engine.GetProgress(), 20);
    ASSERT_EQ(m_engine.StartBackup(&cancel), 0);
    m_engine.WaitForWorker();
    EXPECT_EQ(cancel.EventValues(notify::kBackupFailed).size(), 1u);
    EXPECT_EQ(m_engine.GetLastRun().kind, RunEnding::kCancelledUnchanged);
    ExpectPreviousUnchanged();
}

// A file that is gone by the time it is read costs that file only; in an update its
// stored copy stays in the backup.
TEST_P(BackupSafetyTest, AFileThatCannotBeReadCostsOnlyThatFile)
{
    FirstBackup();
    tbmtest::WriteFileBytes(m_dir / "f5", Noise(5001, 5));
    m_engine.StartCollect(nullptr);
    ASSERT_EQ(m_engine.WaitCollect(), result::kSuccess);
    ASSERT_EQ(m_engine.WriteCatalogue(), 1);
    ASSERT_EQ(std::remove((m_dir / "f5").c_str()), 0);
    ASSERT_EQ(m_engine.StartBackup(&m_recorder), 0);
    m_engine.WaitForWorker();
    EXPECT_EQ(m_recorder.EventValues(notify::kBackupDone).size(), 1u);
    ASSERT_EQ(m_engine.GetLastRun().failedFiles.size(), 1u);
    EXPECT_EQ(m_engine.GetLastRun().failedFiles[0], m_dir / "f5");
    CZipContainer archive;
    archive.Open(Out(), CZipContainer::ArcOpenReadOnly);
    const bool kept = archive.FindFile("home\\u\\f5") >= 0;
    EXPECT_EQ(archive.FindFile("home\\u\\f6") >= 0, true);
    archive.Close();
    EXPECT_EQ(kept, GetParam() != 0);
    if (GetParam() != 0) {
        EXPECT_TRUE(ReportHas("The backup keeps the earlier copy of " + m_dir / "f5"));
    }
    EXPECT_EQ(RunCommand("unzip -tq '" + Out() + "'"), 0);
    EXPECT_FALSE(HasTemporaryFiles(m_dir / "disk"));
}

INSTANTIATE_TEST_SUITE_P(Runs, BackupSafetyTest, ::testing::Values(0, 1, 2),
                         [](const auto& info) {
                             return std::string(info.param == 0   ? "Normal"
                                                : info.param == 1 ? "Update"
                                                                  : "Synchronise");
                         });

} // namespace
