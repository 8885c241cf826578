#include "Spawn.h"
#include "SpawnOutput.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace {

struct ExitCase
{
    std::vector<std::string> argv;
    int status;
};

class RunProcessTest : public ::testing::TestWithParam<ExitCase>
{
};

TEST_P(RunProcessTest, GivesTheExitStatusOrMinusOne)
{
    EXPECT_EQ(GetParam().status, RunProcess(GetParam().argv, true));
}

INSTANTIATE_TEST_SUITE_P(Programs, RunProcessTest,
                         ::testing::Values(ExitCase{{"/bin/true"}, 0}, ExitCase{{"/bin/false"}, 1},
                                           ExitCase{{"true"}, 0}, // looked up in PATH
                                           ExitCase{{"/bin/sh", "-c", "exit 7"}, 7},
                                           ExitCase{{"/bin/sh", "-c", "kill -9 $$"}, 128 + 9},
                                           ExitCase{{"/no/such/program"}, -1},
                                           ExitCase{{"tbm-no-such-program"}, -1}, ExitCase{{}, -1},
                                           ExitCase{{""}, -1}));

class RunProcessFilesTest : public tbmtest::TempDirTest
{
};

TEST_F(RunProcessFilesTest, ArgumentsArriveUnchangedWithoutAShell)
{
    const std::string out = m_dir / "args";
    const std::vector<std::string> argv = {
        "/bin/sh", "-c", "printf '%s\\n' \"$@\" > \"$0\"", out, "a b", "$HOME", "*", "'\"", ""};
    ASSERT_EQ(0, RunProcess(argv));
    EXPECT_EQ("a b\n$HOME\n*\n'\"\n\n", tbmtest::ReadFileBytes(out));
}

TEST_F(RunProcessFilesTest, WithoutWaitingTheProgramStillRuns)
{
    const std::string done = m_dir / "done";
    ASSERT_EQ(0, RunProcess({"/bin/sh", "-c", "echo ok > \"$0.tmp\" && mv \"$0.tmp\" \"$0\"", done},
                            false));
    for (int i = 0; i < 6000 && !std::filesystem::exists(done); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ("ok\n", tbmtest::ReadFileBytes(done));
}

} // namespace

TEST(RunProcessOutputTest, GivesTheOutputKeepsItsLimitAndEndsAProgramThatHangs)
{
    std::string output;
    EXPECT_EQ(3, RunProcessOutput({"/bin/sh", "-c", "echo out; echo err >&2; exit 3"}, output,
                                  std::chrono::seconds(10)));
    EXPECT_EQ("out\n", output);
    // More than the limit: the rest is read and dropped, and the program ends normally.
    EXPECT_EQ(0, RunProcessOutput({"/bin/sh", "-c", "head -c 300000 /dev/zero"}, output,
                                  std::chrono::seconds(10), 1000));
    EXPECT_EQ(std::string(1000, '\0'), output);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(-1, RunProcessOutput({"/bin/sh", "-c", "echo early; exec sleep 30"}, output,
                                   std::chrono::milliseconds(300)));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ("early\n", output);
    EXPECT_EQ(-1, RunProcessOutput({"/no/such/program"}, output, std::chrono::seconds(1)));
}
