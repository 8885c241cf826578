#include "RegistryLines.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <string>

using tbmtest::ReadFileBytes;
using tbmtest::TempDirTest;
using tbmtest::WriteFileBytes;

namespace {

struct LineCase
{
    const char* label;
    const char* line;
    const char* find;
    const char* replace;
    const char* expected;
};

class RewriteLineTest : public ::testing::TestWithParam<LineCase>
{
};

} // namespace

TEST_P(RewriteLineTest, RewritesOneLine)
{
    const LineCase& c = GetParam();
    EXPECT_EQ(c.expected, RewriteRegistryLine(c.line, c.find, c.replace)) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, RewriteLineTest,
    ::testing::Values(
        LineCase{"header", "Windows Registry Editor Version 5.00", "", "", "REGEDIT4"},
        LineCase{"headerAnywhere", "xx Windows Registry Editor yy", "", "", "REGEDIT4"},
        LineCase{"ansiHeader", "REGEDIT4", "", "", "REGEDIT4"},
        LineCase{"emptyFindChangesNothing", "[HKEY_CURRENT_USER\\{A}]", "", "x",
                 "[HKEY_CURRENT_USER\\{A}]"},
        LineCase{"everyOccurrence", "[HKEY_CURRENT_USER\\Identities\\{A}\\x\\{A}]", "{A}", "{B}",
                 "[HKEY_CURRENT_USER\\Identities\\{B}\\x\\{B}]"},
        LineCase{"caseSensitive", "{a} {A}", "{A}", "{B}", "{a} {B}"},
        LineCase{"replacementHoldsFind", "aXa", "a", "aa", "aaXaa"},
        LineCase{"headerThenFind", "Windows Registry Editor Version 5.00", "EDIT", "edit",
                 "REGedit4"},
        LineCase{"kind10", "[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Account Manager]",
                 "Software\\Microsoft\\", "Identities\\{T}\\Software\\Microsoft\\",
                 "[HKEY_CURRENT_USER\\Identities\\{T}\\Software\\Microsoft\\Internet Account "
                 "Manager]"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(TempDirTest, RewritesEveryLineWithCrLf)
{
    const std::string source = m_dir / "in.reg";
    const std::string target = m_dir / "out.reg";
    WriteFileBytes(source, std::string("Windows Registry Editor Version 5.00\n\r\n[K]\r\n"
                                       "\"v\"=\"a\0b\"\nlast",
                                       58));
    bool header = false;
    ASSERT_EQ(RegistryLinesResult::Done, RewriteRegistryLines(source, target, "K", "L", &header));
    EXPECT_TRUE(header);
    EXPECT_EQ(std::string("REGEDIT4\r\n\r\n[L]\r\n\"v\"=\"a\0b\"\r\nlast\r\n", 34),
              ReadFileBytes(target));
}

TEST_F(TempDirTest, TellsWhichFileCouldNotBeOpened)
{
    const std::string source = m_dir / "in.reg";
    EXPECT_EQ(RegistryLinesResult::SourceNotOpened,
              RewriteRegistryLines(source, m_dir / "out.reg", "", ""));
    WriteFileBytes(source, "REGEDIT4\r\n");
    EXPECT_EQ(RegistryLinesResult::TargetNotOpened,
              RewriteRegistryLines(source, m_dir / "missing/out.reg", "", ""));
}
