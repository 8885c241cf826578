#include "Globals.h"
#include "ResourceLibrary.h"
#include "ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <limits>
#include <string>

namespace {

struct FormatCase
{
    std::uint64_t bytes;
    const char* text;
};

class FormatSizeTest : public ::testing::TestWithParam<FormatCase>
{
};

TEST_P(FormatSizeTest, UsesTheUnitOfTheRangeTheCountFallsIn)
{
    EXPECT_EQ(GetParam().text, CGlobals().FormatSize(GetParam().bytes));
}

INSTANTIATE_TEST_SUITE_P(
    Thresholds, FormatSizeTest,
    ::testing::Values(FormatCase{0, "0 Bytes"}, FormatCase{1, "1 Bytes"},
                      FormatCase{1024, "1024 Bytes"}, FormatCase{1025, "1.00 KB"},
                      FormatCase{1536, "1.50 KB"}, FormatCase{1048576, "1024.00 KB"},
                      FormatCase{1048577, "1.00 MB"}, FormatCase{1073741824, "1024.00 MB"},
                      FormatCase{1073741825, "1.00 GB"}, FormatCase{5368709120ULL, "5.00 GB"},
                      FormatCase{std::numeric_limits<std::uint64_t>::max(), "17179869184.00 GB"}));

struct ParseCase
{
    const char* text;
    std::uint64_t bytes;
};

class ParseSizeTest : public ::testing::TestWithParam<ParseCase>
{
protected:
    tbmtest::CScriptedPrompt m_prompt;
};

TEST_P(ParseSizeTest, ReadsNumberAndUnitWithoutAsking)
{
    EXPECT_EQ(GetParam().bytes, CGlobals().ParseSize(GetParam().text)) << GetParam().text;
    EXPECT_TRUE(m_prompt.Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Valid, ParseSizeTest,
    ::testing::Values(ParseCase{" 1.5 GB ", 1610612736}, ParseCase{"700 megabyte", 734003200},
                      ParseCase{"100 Mb", 104857600}, ParseCase{"600 mB", 629145600},
                      ParseCase{"2 kb", 2048}, ParseCase{"3 KiloByte", 3072},
                      ParseCase{"1 GIGABYTE", 1073741824}, ParseCase{"10 bytes", 10},
                      ParseCase{"1 BYTE", 1}, ParseCase{"0.5 KB", 512},
                      ParseCase{"1.5\tGB", 1610612736}, ParseCase{"1.2.3 MB", 1258291},
                      ParseCase{"5 big GB", 5368709120ULL}, ParseCase{".5 KB", 512},
                      ParseCase{"1.0000001 bytes", 1}));

class ParseSizeRejectTest : public ::testing::TestWithParam<std::string>
{
protected:
    tbmtest::CScriptedPrompt m_prompt;
};

TEST_P(ParseSizeRejectTest, ShowsMessage136AndGivesZero)
{
    EXPECT_EQ(0u, CGlobals().ParseSize(GetParam()));
    const auto messages = m_prompt.Messages();
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ(LoadResString(136), messages[0].text);
}

INSTANTIATE_TEST_SUITE_P(Invalid, ParseSizeRejectTest,
                         ::testing::Values<std::string>("100MB", "0 KB", "", "   ", "MB", "abc MB",
                                                        ". MB", "5 TB", "5 GBs", "-5 MB", "0.0 GB",
                                                        // beyond 64 bits: refused, not wrapped
                                                        "99999999999 GB",
                                                        "18446744073709551616 bytes",
                                                        "1" + std::string(400, '0') + " bytes"));

// A desktop locale with a decimal comma must not change what is shown or accepted.
TEST(SizeTextLocaleTest, DecimalPointIndependentOfLocale)
{
    const char* saved = std::setlocale(LC_NUMERIC, nullptr);
    const std::string previous = saved ? saved : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE"))
        GTEST_SKIP() << "no German locale installed";
    tbmtest::CScriptedPrompt prompt;
    const std::string text = CGlobals().FormatSize(1536);
    const std::uint64_t bytes = CGlobals().ParseSize("1.5 KB");
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ("1.50 KB", text);
    EXPECT_EQ(1536u, bytes);
}

} // namespace
