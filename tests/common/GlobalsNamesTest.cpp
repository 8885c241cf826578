#include "CaseFold.h"
#include "Globals.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

namespace {

struct ValidNameCase
{
    const char* name;
    bool valid;
};

class IsValidFileNameTest : public ::testing::TestWithParam<ValidNameCase>
{
};

TEST_P(IsValidFileNameTest, RefusesOnlyTheWindowsReservedCharacters)
{
    EXPECT_EQ(GetParam().valid, CGlobals().IsValidFileName(GetParam().name)) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, IsValidFileNameTest,
    ::testing::Values(ValidNameCase{"Backup 1", true}, ValidNameCase{"say \"hi\"", true},
                      ValidNameCase{"Ünïcödé ☂", true}, ValidNameCase{"a.b-c_d (e)", true},
                      ValidNameCase{"", true}, ValidNameCase{"a/b", false},
                      ValidNameCase{"a\\b", false}, ValidNameCase{"C:", false},
                      ValidNameCase{"a*b", false}, ValidNameCase{"what?", false},
                      ValidNameCase{"<x>", false}, ValidNameCase{"a>b", false},
                      ValidNameCase{"a|b", false}));

struct UniqueNameCase
{
    std::string base;
    std::vector<std::string> existing;
    std::string expected;
};

class MakeUniqueNameTest : public ::testing::TestWithParam<UniqueNameCase>
{
};

TEST_P(MakeUniqueNameTest, FirstNumberNotTakenIgnoringCase)
{
    const UniqueNameCase& c = GetParam();
    EXPECT_EQ(c.expected, CGlobals().MakeUniqueName(c.base, c.existing));
}

INSTANTIATE_TEST_SUITE_P(
    Names, MakeUniqueNameTest,
    ::testing::Values(
        UniqueNameCase{"Main Identity", {"main identity", "Main Identity(1)"}, "Main Identity(2)"},
        UniqueNameCase{"Main Identity", {}, "Main Identity"},
        UniqueNameCase{"Job", {"Other", "Job(1)"}, "Job"},
        UniqueNameCase{"Job", {"JOB", "job(1)", "Job(3)"}, "Job(2)"},
        UniqueNameCase{"Über", {"über"}, "Über(1)"},
        UniqueNameCase{"ΑΒΓ", {"αβγ", "αβγ(1)"}, "ΑΒΓ(2)"},
        UniqueNameCase{"Сон", {"сон"}, "Сон(1)"}, UniqueNameCase{"Ärger", {"Arger"}, "Ärger"}));

TEST(CaseFoldTest, FoldsCapitalsAndKeepsEverythingElse)
{
    EXPECT_EQ("abc xyz 09", FoldCase("ABC xyz 09"));
    EXPECT_EQ("àéîõü ß", FoldCase("ÀÉÎÕÜ ß"));
    EXPECT_EQ("łžÿ", FoldCase("ŁŽŸ"));
    EXPECT_EQ("ωё", FoldCase("ΩЁ"));
    EXPECT_EQ("×", FoldCase("×")); // the multiplication sign has no small form
    EXPECT_EQ("日本", FoldCase("日本"));
    // Invalid UTF-8 stays byte for byte.
    const std::string broken = "A\xC3\x28\xFF\xC3";
    EXPECT_EQ("a\xC3\x28\xFF\xC3", FoldCase(broken));
    EXPECT_TRUE(EqualsNoCase("Main Identity", "MAIN identity"));
    EXPECT_FALSE(EqualsNoCase("Main Identity", "Main Identity "));
}

class UniqueFileNameTest : public tbmtest::TempDirTest
{
protected:
    void Touch(const std::string& name) { tbmtest::WriteFileBytes(m_dir / name, "x"); }
    CGlobals m_globals;
};

TEST_F(UniqueFileNameTest, NumbersGoBeforeTheExtension)
{
    EXPECT_EQ(m_dir / "x.tbm", m_globals.MakeUniqueFileName(m_dir / "x.tbm"));
    Touch("x.tbm");
    EXPECT_EQ(m_dir / "x(1).tbm", m_globals.MakeUniqueFileName(m_dir / "x.tbm"));
    Touch("x(1).tbm");
    EXPECT_EQ(m_dir / "x(2).tbm", m_globals.MakeUniqueFileName(m_dir / "x.tbm"));
}

TEST_F(UniqueFileNameTest, NamesWithoutExtensionGetTheNumberAtTheEnd)
{
    Touch("notes");
    EXPECT_EQ(m_dir / "notes(1)", m_globals.MakeUniqueFileName(m_dir / "notes"));
    Touch(".profile");
    EXPECT_EQ(m_dir / ".profile(1)", m_globals.MakeUniqueFileName(m_dir / ".profile"));
    std::filesystem::create_directory(m_dir.Path() / "dir.d");
    Touch("dir.d/file");
    EXPECT_EQ(m_dir / "dir.d/file(1)", m_globals.MakeUniqueFileName(m_dir / "dir.d/file"));
}

TEST_F(UniqueFileNameTest, DanglingLinkCountsAsTaken)
{
    ASSERT_EQ(0, symlink("nowhere", (m_dir / "link.txt").c_str()));
    EXPECT_EQ(m_dir / "link(1).txt", m_globals.MakeUniqueFileName(m_dir / "link.txt"));
}

TEST_F(UniqueFileNameTest, NumberedNamesCountFromOneWithThreeDigits)
{
    EXPECT_EQ(m_dir / "x.tbm", m_globals.MakeNumberedFileName(m_dir / "x.tbm"));
    Touch("x.tbm");
    EXPECT_EQ(m_dir / "x.tbm.001", m_globals.MakeNumberedFileName(m_dir / "x.tbm"));
    Touch("x.tbm.001");
    Touch("x.tbm.002");
    EXPECT_EQ(m_dir / "x.tbm.003", m_globals.MakeNumberedFileName(m_dir / "x.tbm"));
}

TEST(FindStringTest, FirstExactMatchOrMinusOne)
{
    const CGlobals globals;
    const std::vector<std::string> list = {"a", "B", "a"};
    EXPECT_EQ(0, globals.FindString(list, "a"));
    EXPECT_EQ(1, globals.FindString(list, "B"));
    EXPECT_EQ(-1, globals.FindString(list, "b"));
    EXPECT_EQ(-1, globals.FindString({}, "a"));
}

} // namespace
