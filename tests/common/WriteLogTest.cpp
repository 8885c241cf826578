#include "WriteLog.h"
#include "NamedMutex.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using tbmtest::Lines;
using tbmtest::ReadFileBytes;
using tbmtest::TempDirTest;

namespace fs = std::filesystem;

namespace {

// Writes `count` lines "<tag>:<long body>" through WriteLog.
void WriteTagged(const std::string& tag, int count)
{
    const std::string body(1500, tag[0]);
    for (int i = 0; i < count; ++i)
        WriteLog("%s:%s", tag.c_str(), body.c_str());
}

bool IsTaggedLine(const std::string& line)
{
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos || colon == 0)
        return false;
    return line.substr(colon + 1) == std::string(1500, line[0]);
}

} // namespace

class WriteLogTest : public TempDirTest
{
protected:
    void SetUp() override
    {
        g_StatusLog.InitFullPath(m_path);
        g_StatusLog.PrintAppName(false);
        g_StatusLog.PrintTime(false);
    }
    void TearDown() override { g_StatusLog.InitFullPath(""); }

    std::string m_path = m_dir / "write.log";
};

TEST_F(WriteLogTest, PercentSignsInTheMessageAreWrittenAsFormattedOnce)
{
    WriteLog("%s", "100% %d %s %n");
    WriteLog("50%% done, %d%%", 7);
    WriteLog("Fail to delete File : %s", "/home/u/100%.txt");
    EXPECT_EQ("100% %d %s %n\n50% done, 7%\nFail to delete File : /home/u/100%.txt\n",
              ReadFileBytes(m_path));
}

TEST_F(WriteLogTest, LongMessageIsCutAndNullFormatIgnored)
{
    WriteLog(nullptr);
    EXPECT_FALSE(fs::exists(m_path));
    const std::string longText(5000, 'L');
    WriteLog("%s", longText.c_str());
    EXPECT_TRUE(ReadFileBytes(m_path) == std::string(2999, 'L') + "\n");
}

TEST_F(WriteLogTest, WaitsForTheNamedMutex)
{
    CNamedMutex other(kLogMutexName);
    std::thread writer;
    {
        std::lock_guard<CNamedMutex> guard(other);
        writer = std::thread([] { WriteLog("after the lock"); });
        // Gives a writer that ignored the mutex the chance to show it; a correct one
        // cannot write before the guard goes, however the threads are scheduled.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_FALSE(fs::exists(m_path));
    }
    writer.join();
    EXPECT_EQ("after the lock\n", ReadFileBytes(m_path));
}

TEST_F(WriteLogTest, LinesFromThreadsAndTwoProcessesNeverInterleave)
{
    constexpr int kLines = 150;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        WriteTagged("child", kLines);
        _exit(0);
    }
    std::vector<std::thread> threads;
    for (const char* tag : {"alpha", "beta", "gamma"})
        threads.emplace_back([tag] { WriteTagged(tag, kLines); });
    for (auto& thread : threads)
        thread.join();
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    const auto lines = Lines(ReadFileBytes(m_path));
    ASSERT_EQ(static_cast<std::size_t>(4 * kLines), lines.size());
    int fromChild = 0;
    for (const std::string& line : lines) {
        ASSERT_TRUE(IsTaggedLine(line)) << line.substr(0, 80);
        fromChild += line.rfind("child:", 0) == 0 ? 1 : 0;
    }
    EXPECT_EQ(kLines, fromChild);
}
