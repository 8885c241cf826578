#include "SAStatusLog.h"
#include "ModulePath.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using tbmtest::Lines;
using tbmtest::ReadFileBytes;
using tbmtest::TempDirTest;
using tbmtest::WriteFileBytes;

namespace fs = std::filesystem;

namespace {

// "%m/%d/%Y %H:%M:%S", e.g. 05/17/2002 14:03:09.
bool IsTimeStamp(const std::string& text)
{
    const std::string shape = "99/99/9999 99:99:99";
    if (text.size() != shape.size())
        return false;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
        if (shape[i] == '9' ? !digit : text[i] != shape[i])
            return false;
    }
    return true;
}

} // namespace

class SAStatusLogTest : public TempDirTest
{
protected:
    std::string m_path = m_dir / "status.log";
};

TEST_F(SAStatusLogTest, NeverInitialisedLogFailsAndWritesNothing)
{
    CSAStatusLog log;
    log.Enable(true);
    EXPECT_FALSE(log.StatusOut("hello %d", 1));
    EXPECT_TRUE(fs::is_empty(m_dir.Path()));
}

TEST_F(SAStatusLogTest, InitFullPathStartsAFreshFile)
{
    WriteFileBytes(m_path, "previous run\nmore\n");
    CSAStatusLog log;
    log.InitFullPath(m_path);
    EXPECT_FALSE(fs::exists(m_path));
    EXPECT_TRUE(log.StatusOut("line %d", 1));
    EXPECT_EQ("line 1\n", ReadFileBytes(m_path));
    EXPECT_TRUE(log.StatusOut("line %d", 2));
    EXPECT_EQ("line 1\nline 2\n", ReadFileBytes(m_path));
}

TEST_F(SAStatusLogTest, PrefixesAreAppNameThenTimeStamp)
{
    CSAStatusLog log;
    log.InitFullPath(m_path);
    log.SetAppName("TBManager");
    log.PrintAppName(true);
    log.PrintTime(true);
    ASSERT_TRUE(log.StatusOut("both"));
    log.PrintAppName(false);
    ASSERT_TRUE(log.StatusOut("time"));
    log.PrintTime(false);
    log.PrintAppName(true);
    ASSERT_TRUE(log.StatusOut("name"));

    const auto lines = Lines(ReadFileBytes(m_path));
    ASSERT_EQ(3u, lines.size());
    const std::string& both = lines[0];
    ASSERT_EQ(std::string("TBManager : ").size() + 19 + 3 + 4, both.size()) << both;
    EXPECT_EQ("TBManager : ", both.substr(0, 12));
    EXPECT_TRUE(IsTimeStamp(both.substr(12, 19))) << both;
    EXPECT_EQ(" : both", both.substr(31));
    EXPECT_TRUE(IsTimeStamp(lines[1].substr(0, 19))) << lines[1];
    EXPECT_EQ(" : time", lines[1].substr(19));
    EXPECT_EQ("TBManager : name", lines[2]);
}

TEST_F(SAStatusLogTest, DisabledLogSucceedsWithoutWriting)
{
    CSAStatusLog log;
    log.InitFullPath(m_path);
    ASSERT_TRUE(log.StatusOut("one"));
    const auto size = fs::file_size(m_path);
    log.Enable(false);
    EXPECT_TRUE(log.StatusOut("two"));
    EXPECT_EQ(size, fs::file_size(m_path));
    log.Enable(true);
    EXPECT_TRUE(log.StatusOut("three"));
    EXPECT_EQ("one\nthree\n", ReadFileBytes(m_path));
}

TEST_F(SAStatusLogTest, NullFormatAndUnopenableFileFail)
{
    CSAStatusLog log;
    log.InitFullPath(m_path);
    EXPECT_FALSE(log.StatusOut(nullptr));
    EXPECT_FALSE(fs::exists(m_path));
    log.InitFullPath(m_dir / "missing/status.log");
    EXPECT_FALSE(log.StatusOut("x"));
}

TEST_F(SAStatusLogTest, CopyHasTheSameSettingsAndItsOwnSwitches)
{
    CSAStatusLog log;
    log.InitFullPath(m_path);
    log.SetAppName("App");
    log.PrintAppName(true);
    CSAStatusLog copy(log);
    CSAStatusLog assigned;
    assigned = log;
    copy.Enable(false);
    EXPECT_TRUE(log.StatusOut("original"));
    EXPECT_TRUE(copy.StatusOut("disabled copy"));
    EXPECT_TRUE(assigned.StatusOut("assigned"));
    EXPECT_EQ("App : original\nApp : assigned\n", ReadFileBytes(m_path));
}

TEST_F(SAStatusLogTest, InitLogsBesideTheProgramUnderItsName)
{
    if (access(TvGetModuleFolder().c_str(), W_OK) != 0)
        GTEST_SKIP() << "the program folder is read-only";
    const std::string name = "status-init-" + std::to_string(getpid()) + ".log";
    const std::string expected = TvGetModuleFolder() + "/" + name;
    WriteFileBytes(expected, "stale");
    CSAStatusLog log;
    log.Init(name);
    log.PrintAppName(true);
    EXPECT_TRUE(log.StatusOut("started"));
    const std::string written = ReadFileBytes(expected);
    fs::remove(expected);
    const std::string program = fs::path(TvGetModuleFileName()).stem().string();
    EXPECT_EQ(program + " : started\n", written);
}

TEST_F(SAStatusLogTest, LinesFromManyThreadsNeverInterleave)
{
    CSAStatusLog log;
    log.InitFullPath(m_path);
    log.PrintTime(true);
    constexpr int kThreads = 6;
    constexpr int kLines = 200;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&log, t] {
            const std::string body(100 + 37 * t, static_cast<char>('a' + t));
            for (int i = 0; i < kLines; ++i)
                log.StatusOut("%d:%s", t, body.c_str());
        });
    }
    for (auto& thread : threads)
        thread.join();

    const auto lines = Lines(ReadFileBytes(m_path));
    ASSERT_EQ(static_cast<std::size_t>(kThreads * kLines), lines.size());
    for (const std::string& line : lines) {
        ASSERT_GT(line.size(), 24u);
        const int t = line[22] - '0';
        ASSERT_TRUE(t >= 0 && t < kThreads) << line;
        EXPECT_EQ(std::to_string(t) + ":" + std::string(100 + 37 * t, 'a' + t), line.substr(22));
    }
}

// ---- long messages ----

struct CutCase
{
    const char* name;
    std::string unit; // repeated past the buffer's end
    std::size_t kept; // bytes of whole characters that fit into 2999
};

class SAStatusLogCutTest : public TempDirTest, public ::testing::WithParamInterface<CutCase>
{
};

// The cut keeps whole characters only.
TEST_P(SAStatusLogCutTest, LongMessageIsCutAtAWholeCharacter)
{
    const std::string& unit = GetParam().unit;
    std::string message;
    while (message.size() < 5000)
        message += unit;
    const std::string path = m_dir / "cut.log";
    CSAStatusLog log;
    log.InitFullPath(path);
    ASSERT_TRUE(log.StatusOut("%s", message.c_str()));
    const std::string written = ReadFileBytes(path);
    ASSERT_EQ(GetParam().kept + 1, written.size());
    EXPECT_TRUE(written == message.substr(0, GetParam().kept) + "\n");
}

INSTANTIATE_TEST_SUITE_P(Texts, SAStatusLogCutTest,
                         ::testing::Values(CutCase{"Ascii", "x", 2999},
                                           CutCase{"TwoBytes", "\xC3\xA9", 2998},
                                           CutCase{"ThreeBytes", "\xE2\x82\xAC", 2997},
                                           CutCase{"FourBytes", "\xF0\x9F\x98\x80", 2996},
                                           CutCase{"ThreeAfterAscii", "ab\xE2\x82\xAC", 2997},
                                           CutCase{"FourAfterAscii", "ab\xF0\x9F\x98\x80", 2996}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SAStatusLogTest, MessageThatFitsExactlyIsWhole)
{
    CSAStatusLog log;
    log.InitFullPath(m_path);
    const std::string fits(CSAStatusLog::kBufferSize - 1, 'z');
    ASSERT_TRUE(log.StatusOut("%s", fits.c_str()));
    EXPECT_EQ(fits + "\n", ReadFileBytes(m_path));
}

// ---- file name parts ----

class BaseNameProbe : public CSAStatusLog
{
public:
    using CSAStatusLog::GetBaseDir;
    using CSAStatusLog::GetBaseName;
};

struct PathCase
{
    const char* path;
    const char* baseName;
    const char* baseDir;
};

class SAStatusLogPathTest : public ::testing::TestWithParam<PathCase>
{
};

TEST_P(SAStatusLogPathTest, SplitsFolderAndName)
{
    EXPECT_EQ(GetParam().baseName, BaseNameProbe::GetBaseName(GetParam().path));
    EXPECT_EQ(GetParam().baseDir, BaseNameProbe::GetBaseDir(GetParam().path));
}

INSTANTIATE_TEST_SUITE_P(Paths, SAStatusLogPathTest,
                         ::testing::Values(PathCase{"C:\\A.B\\prog.exe", "prog", "C:\\A.B"},
                                           PathCase{"prog", "prog", ""},
                                           PathCase{".profile", ".profile", ""},
                                           PathCase{"/opt/tbm/TBManager", "TBManager", "/opt/tbm"},
                                           PathCase{"/a.b/c.d.e", "c.d", "/a.b"},
                                           PathCase{"/usr/.hidden", ".hidden", "/usr"},
                                           PathCase{"/prog", "prog", ""},
                                           PathCase{"dir/", "", "dir"}, PathCase{"", "", ""}));
