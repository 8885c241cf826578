#include "BackupDiskCallback.h"
#include "BackupTestFixture.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

namespace {

using backuptest::BackupMangerTest;

bool Exists(const std::string& path)
{
    struct stat st
    {
    };
    return lstat(path.c_str(), &st) == 0;
}

struct DiskCase
{
    const char* name;
    int code;
    int answer;
    bool expectResult;
    unsigned expectButtons;
    bool expectFileKept; // the file of the archive's name, for code -2
};

class BackupDiskCallbackTest : public BackupMangerTest,
                               public ::testing::WithParamInterface<DiskCase>
{
};

TEST_P(BackupDiskCallbackTest, AnswersAsTheUserSays)
{
    const DiskCase& c = GetParam();
    CBackupDiskCallback callback;
    callback.m_volumePath = MakeFile("backup.tbm", "old backup");
    callback.m_diskNumber = 3;
    m_prompt.QueueAnswer(c.answer);
    EXPECT_EQ(callback.Callback(c.code), c.expectResult);
    const auto messages = m_prompt.Messages();
    ASSERT_EQ(messages.size(), 1u);
    const auto& asked = messages[0];
    EXPECT_EQ(asked.style & MB_BUTTONMASK, c.expectButtons);
    EXPECT_EQ(asked.text, FillInserts(LoadResString(263), {"3"}));
    EXPECT_EQ(Exists(callback.m_volumePath), c.expectFileKept);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, BackupDiskCallbackTest,
    ::testing::Values(DiskCase{"ExistingYesDeletes", -2, IDYES, true, MB_YESNOCANCEL, false},
                      DiskCase{"ExistingNoKeeps", -2, IDNO, true, MB_YESNOCANCEL, true},
                      DiskCase{"ExistingCancelAborts", -2, IDCANCEL, false, MB_YESNOCANCEL, true},
                      // An answer the question does not offer neither deletes nor loops.
                      DiskCase{"ExistingOtherAborts", -2, IDOK, false, MB_YESNOCANCEL, true},
                      DiskCase{"NewDiskOk", 120000, IDOK, true, MB_OKCANCEL, true},
                      DiskCase{"NewDiskCancel", 120000, IDCANCEL, false, MB_OKCANCEL, true},
                      DiskCase{"ReadDiskOk", -1, IDOK, true, MB_OKCANCEL, true},
                      DiskCase{"LabelNotSetCancel", -3, IDCANCEL, false, MB_OKCANCEL, true},
                      DiskCase{"NotCreatedOk", -4, IDOK, true, MB_OKCANCEL, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BackupMangerTest, DiskCallbackReportsAFileItCannotDelete)
{
    // A folder of the archive's name that is not empty cannot be removed.
    const std::string folder = m_dir / "backup.tbm";
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    tbmtest::WriteFileBytes(folder + "/inside", "x");
    CBackupDiskCallback callback;
    callback.m_volumePath = folder;
    callback.m_diskNumber = 1;
    m_prompt.QueueAnswer(IDYES);
    EXPECT_TRUE(callback.Callback(CZipDiskCallback::DiskHoldsArchiveName));
    ASSERT_EQ(m_prompt.Messages().size(), 2u);
    EXPECT_EQ(m_prompt.Messages()[1].text, FillInserts(LoadResString(147), {folder}));
    EXPECT_EQ(m_prompt.Messages()[1].style & MB_ICONERROR, MB_ICONERROR);
    EXPECT_TRUE(Exists(folder + "/inside"));
}

TEST_F(BackupMangerTest, RemovableBackupAsksForTheFirstDisk)
{
    g_ProjectData.m_dwMedium = 1;
    m_prompt.SetDefaultAnswer(IDCANCEL);
    m_pSource->m_Files = {{MakeFile("a.txt", "aaaa"), "a.txt"}};
    Backup();
    // The storage asked through the engine's callback, and Cancel ended the run.
    ASSERT_FALSE(m_prompt.Messages().empty());
    EXPECT_EQ(m_prompt.Messages()[0].text, FillInserts(LoadResString(263), {"1"}));
    EXPECT_EQ(m_recorder.EventValues(notify::kBackupFailed).size(), 1u);
    EXPECT_FALSE(m_engine.GetProgress().m_RunningEvent.IsSet());
}

} // namespace
