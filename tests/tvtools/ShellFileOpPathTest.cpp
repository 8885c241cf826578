#include "ShellFileOpPath.h"

#include <gtest/gtest.h>

#include <set>

using namespace tvshell;

struct WildcardCase
{
    const char* pattern;
    const char* name;
    bool matches;
};

class ShellWildcardTest : public ::testing::TestWithParam<WildcardCase>
{
};

TEST_P(ShellWildcardTest, Matches)
{
    const WildcardCase& c = GetParam();
    EXPECT_EQ(c.matches, MatchWildcard(c.pattern, c.name)) << c.pattern << " vs " << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ShellWildcardTest,
    ::testing::Values(WildcardCase{"*.*", "a.b", true}, WildcardCase{"*.*", "README", true},
                      WildcardCase{"*.*", ".hidden", true}, WildcardCase{"*", "", true},
                      WildcardCase{"*.txt", "a.txt", true},
                      WildcardCase{"*.txt", "a.txt.bak", false},
                      WildcardCase{"*.txt", "txt", false}, WildcardCase{"a?c", "abc", true},
                      WildcardCase{"a?c", "ac", false}, WildcardCase{"?", "", false},
                      WildcardCase{"a*", "A", false}, WildcardCase{"**", "x", true},
                      WildcardCase{"*a*b*", "xxaxxbxx", true},
                      WildcardCase{"*a*b", "xxaxxbxx", false}, WildcardCase{"*ab", "aab", true},
                      WildcardCase{"[ab]", "a", false}, WildcardCase{"[ab]", "[ab]", true},
                      WildcardCase{"file?.log", "file1.log", true},
                      WildcardCase{"file?.log", "file10.log", false}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

struct PathCase
{
    const char* path;
    const char* base;
    const char* parent;
};

class ShellPathSplitTest : public ::testing::TestWithParam<PathCase>
{
};

TEST_P(ShellPathSplitTest, Splits)
{
    const PathCase& c = GetParam();
    EXPECT_EQ(c.base, BaseName(c.path)) << c.path;
    EXPECT_EQ(c.parent, ParentFolder(c.path)) << c.path;
}

INSTANTIATE_TEST_SUITE_P(Rules, ShellPathSplitTest,
                         ::testing::Values(PathCase{"/a/b/c", "c", "/a/b"},
                                           PathCase{"/a/b/c/", "c", "/a/b"},
                                           PathCase{"/a//b", "b", "/a"}, PathCase{"/a", "a", "/"},
                                           PathCase{"c", "c", "."}, PathCase{"/", "/", "/"},
                                           PathCase{"x/*.*", "*.*", "x"}),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(ShellPathTest, WildcardOnlyCountsInTheLastComponent)
{
    EXPECT_TRUE(HasWildcard("/a/*.txt"));
    EXPECT_TRUE(HasWildcard("/a/file?"));
    EXPECT_FALSE(HasWildcard("/a*/b"));
    EXPECT_EQ("/a/b", JoinPath("/a/", "b"));
    EXPECT_EQ("/a/b", JoinPath("/a", "b"));
    EXPECT_EQ("/a", TrimTrailingSeparators("/a///"));
}

TEST(ShellPathTest, FreeCopyNamesCountUpFromTwo)
{
    std::set<std::string> taken{"/d/x.txt"};
    const auto exists = [&](const std::string& p) { return taken.count(p) > 0; };
    EXPECT_EQ("/d/Copy of x.txt", FreeCopyName("/d/x.txt", exists));
    taken.insert("/d/Copy of x.txt");
    EXPECT_EQ("/d/Copy (2) of x.txt", FreeCopyName("/d/x.txt", exists));
    taken.insert("/d/Copy (2) of x.txt");
    EXPECT_EQ("/d/Copy (3) of x.txt", FreeCopyName("/d/x.txt", exists));
}
