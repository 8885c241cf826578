#include "BackupTestFixture.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <vector>

namespace {

using backuptest::BackupMangerTest;
using backuptest::RunCommand;

// Changes a file when the run announces its file count: after the files were
// collected (with their sizes), before any is read.
class CChangeWhileAdding : public CNotifyRecorder
{
public:
    CChangeWhileAdding(const std::string& path, long newSize) : m_path(path), m_newSize(newSize) {}
    void post(unsigned message, std::uintptr_t first, std::intptr_t second) override
    {
        if (message == notify::kEvent && first == notify::kFileCount && !m_done) {
            m_done = true;
            if (m_newSize > 0)
                tbmtest::WriteFileBytes(m_path, std::string(static_cast<std::size_t>(m_newSize), 'g'));
            else
                truncate(m_path.c_str(), -m_newSize);
        }
        CNotifyRecorder::post(message, first, second);
    }
    std::atomic<bool> m_done{false};

private:
    std::string m_path;
    long m_newSize; // > 0: rewritten longer; <= 0: cut to -m_newSize bytes
};

struct ChangeCase
{
    const char* name;
    long newSize;
};

class BackupChangingFileTest : public BackupMangerTest,
                               public ::testing::WithParamInterface<ChangeCase>
{
};

TEST_P(BackupChangingFileTest, FileChangedAfterCollectingIsBackedUpAsItIsRead)
{
    const std::string changing = MakeFile("changing.bin", std::string(400000, 'c'));
    m_pSource->m_Files = {{changing, "changing.bin"},
                          {MakeFile("after.txt", std::string(5000, 'z')), "after.txt"}};
    m_engine.StartCollect(nullptr);
    ASSERT_EQ(m_engine.WaitCollect(), result::kSuccess);
    ASSERT_EQ(m_engine.WriteCatalogue(), 1);
    CChangeWhileAdding notify(changing, GetParam().newSize);
    ASSERT_EQ(m_engine.StartBackup(&notify), 0);
    m_engine.WaitForWorker();
    EXPECT_TRUE(notify.m_done);
    // The run reached the file after the changing one and ended with one verdict.
    const auto paths = notify.Texts(notify::kEvent, notify::kFilePath);
    EXPECT_NE(std::find(paths.begin(), paths.end(), m_dir / "after.txt"), paths.end());
    EXPECT_EQ(notify.EventValues(notify::kBackupDone).size() +
                  notify.EventValues(notify::kBackupFailed).size(),
              1u);
    EXPECT_FALSE(m_engine.GetProgress().m_RunningEvent.IsSet());
    // The entry is the file as it was read, whole.
    const long newSize = GetParam().newSize;
    const std::string content = newSize > 0 ? std::string(static_cast<std::size_t>(newSize), 'g')
                                            : std::string(static_cast<std::size_t>(-newSize), 'c');
    EXPECT_EQ(RunCommand("unzip -t '" + g_ProjectData.GetOutputPath() + "'"), 0);
    EXPECT_EQ(RunCommand("unzip -o -d '" + m_dir / "out" + "' '" + g_ProjectData.GetOutputPath() +
                         "' changing.bin"),
              0);
    EXPECT_TRUE(tbmtest::ReadFileBytes(m_dir / "out/changing.bin") == content);
}

INSTANTIATE_TEST_SUITE_P(Changes, BackupChangingFileTest,
                         ::testing::Values(ChangeCase{"Shrinks", -1000},
                                           ChangeCase{"Grows", 900000}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
