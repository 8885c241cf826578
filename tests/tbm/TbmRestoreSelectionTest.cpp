#include "TbmRestoreSelection.h"
#include "TbmOptions.h"
#include "TbmUsageError.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct MatchCase
{
    const char* pattern;
    const char* stored;
    bool matches;
};

class TbmRestoreMatchTest : public ::testing::TestWithParam<MatchCase>
{
};

TEST_P(TbmRestoreMatchTest, PatternAgainstStoredPathOrItsTail)
{
    EXPECT_EQ(CTbmRestoreSelection::Matches(GetParam().pattern, GetParam().stored),
              GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, TbmRestoreMatchTest,
    ::testing::Values(
        MatchCase{"*.txt", "/home/u/a.txt", true}, MatchCase{"a.txt", "/home/u/a.txt", true},
        MatchCase{"u/*.txt", "/home/u/a.txt", true},
        MatchCase{"/home/u/a.txt", "/home/u/a.txt", true},
        MatchCase{"/home/*/a.txt", "/home/u/a.txt", true},
        // "*" stays within one folder; a tail is of whole components.
        MatchCase{"/home/*.txt", "/home/u/a.txt", false},
        MatchCase{"me/u/a.txt", "/home/u/a.txt", false}, MatchCase{"*.doc", "/home/u/a.txt", false},
        MatchCase{"?.txt", "/home/u/ab.txt", false},
        // Windows paths: as stored, with "/" and by their tails.
        MatchCase{"*.txt", "C:\\Docs\\a.txt", true}, MatchCase{"Docs/*", "C:\\Docs\\a.txt", true},
        MatchCase{"C:\\Docs\\*", "C:\\Docs\\a.txt", true},
        MatchCase{"C:/Docs/a.txt", "C:\\Docs\\a.txt", true},
        MatchCase{"share/x.txt", "\\\\server\\share\\x.txt", false},
        MatchCase{"//server/share/x.txt", "\\\\server\\share\\x.txt", true},
        // A POSIX name may hold "\": it is no separator there.
        MatchCase{"b.txt", "/home/u/a\\b.txt", false},
        MatchCase{"a\\b.txt", "/home/u/a\\b.txt", true},
        // Nothing to name a file by, nothing to match.
        MatchCase{"*", "C:\\Docs\\..", false}, MatchCase{"", "/a.txt", false}));

TEST(TbmRestoreOptionsTest, RestoreOptionsParse)
{
    const CTbmOptions options =
        CTbmOptions::Parse({"restore", "b.tbm", "--to", "out", "--flat", "--existing", "newer",
                            "--only", "*.txt", "--only=*.doc", "--password-env", "PW"});
    EXPECT_EQ(options.m_command, CTbmOptions::Command::Restore);
    EXPECT_EQ(options.m_strArchive, "b.tbm");
    EXPECT_EQ(options.m_strTarget, "out");
    EXPECT_TRUE(options.m_bFlat);
    EXPECT_EQ(options.m_nExisting, 1);
    EXPECT_EQ(options.m_OnlyPatterns, (std::vector<std::string>{"*.txt", "*.doc"}));
    EXPECT_EQ(options.m_strPasswordEnv, "PW");

    const CTbmOptions plain = CTbmOptions::Parse({"restore", "b.tbm"});
    EXPECT_EQ(plain.m_nExisting, CTbmOptions::kKeepExisting);
    EXPECT_TRUE(plain.m_strTarget.empty());
    EXPECT_EQ(CTbmOptions::Parse({"restore", "b", "--existing", "keep"}).m_nExisting, 0);
    EXPECT_EQ(CTbmOptions::Parse({"restore", "b", "--existing", "replace"}).m_nExisting, 2);
}

TEST(TbmRestoreOptionsTest, BadRestoreCommandLinesAreRefused)
{
    const std::vector<std::vector<std::string>> bad{
        {"restore"},
        {"restore", "a.tbm", "b.tbm"},
        {"restore", "b.tbm", "--flat"},
        {"restore", "b.tbm", "--existing", "always"},
        {"restore", "b.tbm", "--only"},
        {"restore", "b.tbm", "--only="},
        {"restore", "b.tbm", "--password-env", "A", "--password-file", "f"},
        {"restore", "b.tbm", "--json"},
    };
    for (const auto& args : bad)
        EXPECT_THROW(CTbmOptions::Parse(args), CTbmUsageError) << args.back();
}

} // namespace
