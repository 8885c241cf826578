#include "IniFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>

using tbmtest::ReadFileBytes;
using tbmtest::TempDirTest;
using tbmtest::WriteFileBytes;

namespace fs = std::filesystem;

namespace {

std::size_t CountEntries(const fs::path& folder)
{
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder))
        ++n;
    return n;
}

} // namespace

class IniFileIOTest : public TempDirTest
{
protected:
    std::string m_path = m_dir / "test.ini";
};

TEST_F(IniFileIOTest, WritesKeysInOrderWithCrLfAndSkipsKeysWithoutValues)
{
    CIniFile ini(m_path);
    ini.SetValue("Main", "ProjectName", "My job", true);
    ini.SetValue("Main", "ProjectDescription", "", true);
    ini.SetValue("Empty", "Gone", "x", true);
    ini.DeleteValue("Empty", "Gone");
    ini.SetValue("", "Loose", "1", true);
    ASSERT_TRUE(ini.WriteFile());
    EXPECT_EQ("[Main]\r\nProjectName=My job\r\nProjectDescription=\r\n\r\n"
              "[]\r\nLoose=1\r\n\r\n",
              ReadFileBytes(m_path));

    CIniFile back(m_path);
    ASSERT_TRUE(back.ReadFile());
    ASSERT_TRUE(back.WriteFile());
    EXPECT_EQ(2, back.GetNumKeys());
    EXPECT_EQ("1", back.GetValue("", "Loose"));
    EXPECT_EQ("My job", back.GetValue("Main", "ProjectName"));
}

TEST_F(IniFileIOTest, OneEmptyKeyAndOneValueGiveExactlyThreeLines)
{
    CIniFile ini(m_path);
    ini.SetValue("Empty", "x", "", true);
    ini.DeleteValue("Empty", "x");
    ini.SetValue("Main", "A", "1", true);
    ASSERT_TRUE(ini.WriteFile());
    EXPECT_EQ("[Main]\r\nA=1\r\n\r\n", ReadFileBytes(m_path));
}

TEST_F(IniFileIOTest, SecondReadMergesLaterLinesOverwritingEqualNames)
{
    WriteFileBytes(m_path, "[Main]\nA=1\nB=2\n");
    const std::string second = m_dir / "second.ini";
    WriteFileBytes(second, "[Other]\nC=4\n[Main]\nB=3\nB=5\n");
    CIniFile ini(m_path);
    ASSERT_TRUE(ini.ReadFile());
    ini.SetPath(second);
    ASSERT_TRUE(ini.ReadFile());
    EXPECT_EQ("1", ini.GetValue("Main", "A"));
    EXPECT_EQ("5", ini.GetValue("Main", "B"));
    EXPECT_EQ("4", ini.GetValue("Other", "C"));
    ASSERT_TRUE(ini.WriteFile());
    EXPECT_EQ("[Main]\r\nA=1\r\nB=5\r\n\r\n[Other]\r\nC=4\r\n\r\n", ReadFileBytes(second));
}

TEST_F(IniFileIOTest, MissingFileFailsWithoutTouchingModelOrError)
{
    CIniFile ini(m_dir / "missing.ini");
    ini.SetValue("Main", "A", "1", true);
    ini.error = "earlier";
    EXPECT_FALSE(ini.ReadFile());
    EXPECT_EQ("earlier", ini.error);
    EXPECT_EQ("1", ini.GetValue("Main", "A"));
}

TEST_F(IniFileIOTest, FolderInsteadOfFileCannotBeOpened)
{
    fs::create_directory(m_path);
    CIniFile ini(m_path);
    EXPECT_FALSE(ini.ReadFile());
    EXPECT_EQ("Unable to open ini file.", ini.error);
    EXPECT_EQ(0, ini.GetNumKeys());
}

TEST_F(IniFileIOTest, UnreadableFileCannotBeOpened)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads any file";
    WriteFileBytes(m_path, "[Main]\nA=1\n");
    chmod(m_path.c_str(), 0);
    CIniFile ini(m_path);
    EXPECT_FALSE(ini.ReadFile());
    EXPECT_EQ("Unable to open ini file.", ini.error);
}

TEST_F(IniFileIOTest, WriteIntoReadOnlyFolderLeavesTheOldFile)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into any folder";
    WriteFileBytes(m_path, "old contents");
    chmod(m_dir.Str().c_str(), 0555);
    CIniFile ini(m_path);
    ini.SetValue("Main", "A", "1", true);
    EXPECT_FALSE(ini.WriteFile());
    chmod(m_dir.Str().c_str(), 0755);
    EXPECT_EQ("old contents", ReadFileBytes(m_path));
    EXPECT_EQ(1u, CountEntries(m_dir.Path()));
}

// The file-size limit makes the write fail half way, even for root.
TEST_F(IniFileIOTest, WriteFailingHalfWayLeavesTheOldFileAndNoTemporaryFile)
{
    WriteFileBytes(m_path, "old contents");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        CIniFile ini(m_path);
        ini.SetValue("Main", "Big", std::string(1000, 'x'), true);
        _exit(ini.WriteFile() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(0, WEXITSTATUS(status)) << "WriteFile reported success";
    EXPECT_EQ("old contents", ReadFileBytes(m_path));
    EXPECT_EQ(1u, CountEntries(m_dir.Path()));
}

TEST_F(IniFileIOTest, ReplacingKeepsTheModeAndFollowsALink)
{
    WriteFileBytes(m_path, "old");
    chmod(m_path.c_str(), 0640);
    const std::string link = m_dir / "link.ini";
    fs::create_symlink(m_path, link);
    CIniFile ini(link);
    ini.SetValue("Main", "A", "1", true);
    ASSERT_TRUE(ini.WriteFile());
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ("[Main]\r\nA=1\r\n\r\n", ReadFileBytes(m_path));
    struct stat st
    {
    };
    ASSERT_EQ(0, stat(m_path.c_str(), &st));
    EXPECT_EQ(0640u, st.st_mode & 07777);
}

TEST_F(IniFileIOTest, WriteWithoutPathOrIntoMissingFolderFails)
{
    CIniFile ini;
    ini.SetValue("Main", "A", "1", true);
    EXPECT_FALSE(ini.WriteFile());
    ini.SetPath(m_dir / "missing/test.ini");
    EXPECT_FALSE(ini.WriteFile());
}

// ---- how lines read: one table ----

struct LineCase
{
    const char* name;
    std::string file;
    const char* key;
    const char* valueName;
    std::string value;
    int valuesInKey;
};

class IniReadLineTest : public TempDirTest, public ::testing::WithParamInterface<LineCase>
{
};

TEST_P(IniReadLineTest, ReadsTheEntry)
{
    const LineCase& c = GetParam();
    const std::string path = m_dir / "read.ini";
    WriteFileBytes(path, c.file);
    CIniFile ini(path);
    ASSERT_TRUE(ini.ReadFile());
    EXPECT_EQ(c.value, ini.GetValue(c.key, c.valueName));
    EXPECT_EQ(c.valuesInKey, ini.GetNumValues(c.key));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, IniReadLineTest,
    ::testing::Values(
        LineCase{"BlanksAroundEqualsAreKept", "[Main]\r\nName = Value\r\n", "Main", "Name ",
                 " Value", 1},
        LineCase{"SplitAtFirstEquals", "[Main]\r\na=b=c\r\n", "Main", "a", "b=c", 1},
        LineCase{"DoubledBrackets", "[[Main]]\r\nX=1\r\n", "Main", "X", "1", 1},
        LineCase{"LfLineEnds", "[Main]\nX=1\nY=2\n", "Main", "Y", "2", 2},
        LineCase{"OnlyOneCrBeforeTheLineEndGoes", "[Main]\r\nX=1\r\r\n", "Main", "X", "1\r", 1},
        LineCase{"CrInsideStays", "[Main]\nX=a\rb\n", "Main", "X", "a\rb", 1},
        LineCase{"LastLineWithoutLineEnd", "[Main]\r\nX=1", "Main", "X", "1", 1},
        LineCase{"ValuesBeforeFirstSection", "A=1\r\n[Main]\r\nB=2\r\n", "", "A", "1", 1},
        LineCase{"EmptyBracketsOpenTheEmptyKey", "[Main]\nA=1\n[]\nB=2\n", "", "B", "2", 1},
        LineCase{"LinesWithoutEqualsAreIgnored", "[Main]\n; comment\nA=1\n[half\n", "Main", "A",
                 "1", 1},
        LineCase{"EmptyLinesAreIgnored", "\r\n\r\n[Main]\r\n\r\nA=1\r\n\r\n", "Main", "A", "1", 1},
        LineCase{"ByteOrderMarkIsSkipped", "\xEF\xBB\xBF[Main]\r\nA=1\r\n", "Main", "A", "1", 1},
        LineCase{"LongLineIsReadWhole", "[Main]\r\nLong=" + std::string(5000, 'x') + "\r\n", "Main",
                 "Long", std::string(5000, 'x'), 1},
        LineCase{"ZeroBytesAreData", std::string("[Main]\nA=x\0y\n", 12), "Main", "A",
                 std::string("x\0y", 3), 1},
        LineCase{"Utf8NamesCompareExactly", "[Main]\nÄ=1\nä=2\n", "Main", "ä", "2", 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(IniFileIOTest, EveryReadEntryWritesAndReadsBackTheSame)
{
    WriteFileBytes(m_path, "junk\nA=1\n[[S]]\r\nx = y \r\nz=a=b\r\r\n\n[T]\nlong=" +
                               std::string(4000, 'q') + "\n[S]\nx = y2\n");
    CIniFile first(m_path);
    ASSERT_TRUE(first.ReadFile());
    ASSERT_TRUE(first.WriteFile());
    const std::string written = ReadFileBytes(m_path);
    CIniFile second(m_path);
    ASSERT_TRUE(second.ReadFile());
    ASSERT_TRUE(second.WriteFile());
    EXPECT_EQ(written, ReadFileBytes(m_path));
    EXPECT_EQ(" y2", second.GetValue("S", "x "));
    EXPECT_EQ("a=b\r", second.GetValue("S", "z"));
}
