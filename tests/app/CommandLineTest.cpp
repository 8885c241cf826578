// How TBManager reads its command line: the switches and their values, quoted names
// over several arguments, and the choice between a backup file to open and switches.
#include "BackupCommandLineInfo.h"
#include "FileArgument.h"
#include "RunOptions.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs ReadAll(std::vector<std::string> arguments)
{
    CBackupCommandLineInfo info(std::move(arguments));
    Pairs pairs;
    std::string name;
    std::string value;
    for (bool more = info.GetFirstParameter(name, value); more;
         more = info.GetNextParameter(name, value))
        pairs.emplace_back(name, value);
    return pairs;
}

void Parse(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), "/opt/tbm/TBManager");
    CBackupCommandLineInfo info(std::move(arguments));
    ParseCommandLine(info);
}

// The options as one text, so a case shows every option at once.
std::string Options()
{
    return std::string(g_bExecuteJob ? "e " : "") + (g_bQuick ? "quick " : "") + "job=[" +
           g_strJobName + "] " + (g_bExitWhenDone ? "exit " : "noexit ") +
           (g_bShowReport ? "report " : "") + (g_bValidate ? "validate" : "novalidate");
}

void ResetProcessOptions()
{
    g_bExecuteJob = false;
    g_strJobName.clear();
}

} // namespace

TEST(CommandLineTest, EverySwitchWithDashSlashOrDoubleDashInAnyCase)
{
    ResetProcessOptions();
    Parse({});
    EXPECT_EQ(Options(), "job=[] exit validate");

    for (const std::string lead : {"-", "/", "--"}) {
        ResetProcessOptions();
        Parse({lead + "E", lead + "Job", "Daily", lead + "QUICK", lead + "noExit",
               lead + "ShowLogFile", lead + "NoValidate"});
        EXPECT_EQ(Options(), "e quick job=[Daily] noexit report novalidate") << lead;
    }
    // Unknown switches and stray values change nothing.
    ResetProcessOptions();
    Parse({"stray", "-verbose", "x", "-e"});
    EXPECT_EQ(Options(), "e job=[] exit validate");
}

TEST(CommandLineTest, ValuesLaterSwitchesAndQuotedNames)
{
    ResetProcessOptions();
    Parse({"-job", "First", "-job", "Second"});
    EXPECT_EQ(g_strJobName, "Second");

    // A switch right after "job" leaves the name empty and still counts.
    ResetProcessOptions();
    Parse({"-job", "Old"});
    Parse({"-job", "-noexit"});
    EXPECT_EQ(Options(), "job=[] noexit validate");

    // A name one argument holds, and one a caller split at its blanks.
    EXPECT_EQ(ReadAll({"prog", "-job", "My Weekly Job", "-noexit"}),
              (Pairs{{"job", "My Weekly Job"}, {"noexit", ""}}));
    EXPECT_EQ(ReadAll({"prog", "-job", "\"My", "Weekly", "Job\"", "-noexit"}),
              (Pairs{{"job", "My Weekly Job"}, {"noexit", ""}}));
    EXPECT_EQ(ReadAll({"prog", "\"a\"", "-e"}), (Pairs{{"", "a"}, {"e", ""}}));
    // A quote that never closes takes the rest of the line and no more.
    EXPECT_EQ(ReadAll({"prog", "-job", "\"Open", "-e", "end"}), (Pairs{{"job", "Open -e end"}}));
    EXPECT_EQ(ReadAll({"prog", "-job", "\""}), (Pairs{{"job", ""}}));
    // The program path alone, though it starts with "/", is no switch.
    EXPECT_EQ(ReadAll({"/usr/bin/TBManager"}), Pairs{});
    EXPECT_EQ(ReadAll({"/usr/bin/TBManager", "Daily"}), (Pairs{{"", "Daily"}}));
    EXPECT_EQ(CBackupCommandLineInfo({"prog", "-e", ""}).GetCommandLine(), "prog -e");
}

TEST(CommandLineTest, AFileArgumentIsAnExistingPathMadeAbsoluteAtOnce)
{
    tbmtest::TempDir dir;
    tbmtest::WriteFileBytes(dir / "My Backup.tbm", "x");
    CFileArgument argument;

    argument.Take({"\"" + (dir / "My Backup.tbm") + "\""});
    EXPECT_TRUE(argument.Resolve());
    EXPECT_EQ(argument.Get(), dir / "My Backup.tbm");
    EXPECT_EQ(argument.TakePath(), dir / "My Backup.tbm");
    EXPECT_TRUE(argument.IsEmpty());

    // Relative to the folder the program was started in, not the one start-up moves to.
    char* before = getcwd(nullptr, 0);
    ASSERT_EQ(chdir(dir.Str().c_str()), 0);
    argument.Take({"My", "Backup.tbm"});
    ASSERT_EQ(chdir("/"), 0);
    EXPECT_TRUE(argument.Resolve());
    EXPECT_EQ(argument.Get(), dir / "My Backup.tbm");
    ASSERT_EQ(chdir(before), 0);
    free(before);

    // Switches and missing files are no file argument: the line is parsed instead.
    argument.Take({"-e", "-job", "Daily"});
    EXPECT_FALSE(argument.Resolve());
    EXPECT_TRUE(argument.HadArguments());
    argument.Take({dir / "missing.tbm"});
    EXPECT_FALSE(argument.Resolve());
    // A text the buffer cannot hold is never cut into another path.
    argument.Take({"/" + std::string(CFileArgument::kBufferSize, 'a')});
    EXPECT_FALSE(argument.Resolve());
    EXPECT_TRUE(argument.HadArguments());
    argument.Take({});
    EXPECT_FALSE(argument.HadArguments());
}
