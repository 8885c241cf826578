#include "TbmJson.h"
#include "TbmPassword.h"
#include "TbmProgressText.h"
#include "TbmTerminalText.h"

#include <gtest/gtest.h>

namespace {

using Text = CTbmProgressText;

// Whatever bytes a name holds, nothing in it reaches the terminal as a control: C0
// controls, DEL, the C1 controls and bytes that are no UTF-8 become visible escapes,
// while characters of any script stay as they are.
TEST(TbmTerminalTextTest, ControlsAndBrokenSequencesAreEscaped)
{
    using Terminal = CTbmTerminalText;
    EXPECT_EQ(Terminal::Escape("plain name.txt"), "plain name.txt");
    EXPECT_EQ(Terminal::Escape("a\x1b]0;title\x07" "b"), "a\\x1b]0;title\\x07b");
    EXPECT_EQ(Terminal::Escape(std::string("nul\0cr\r\x7f", 8)), "nul\\x00cr\\x0d\\x7f");
    EXPECT_EQ(Terminal::Escape("line\nbreak"), "line\\x0abreak");
    EXPECT_EQ(Terminal::Escape("line\nbreak", true), "line\nbreak");
    EXPECT_EQ(Terminal::Escape("csi\xC2\x9B" "2J"), "csi\\u009b2J");
    EXPECT_EQ(Terminal::Escape("gr\xC3\xBC\xC3\x9F\xE2\x82\xAC\xF0\x9F\x98\x80"),
              "gr\xC3\xBC\xC3\x9F\xE2\x82\xAC\xF0\x9F\x98\x80");
    // A lone lead, a cut sequence, an overlong form, a surrogate, past U+10FFFF.
    EXPECT_EQ(Terminal::Escape("\x9B" "x\xC3"), "\\x9bx\\xc3");
    EXPECT_EQ(Terminal::Escape("\xE2\x82" "x"), "\\xe2\\x82x");
    EXPECT_EQ(Terminal::Escape("\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80"),
              "\\xc0\\xaf\\xed\\xa0\\x80\\xf4\\x90\\x80\\x80");
}

TEST(TbmProgressTextTest, SizesRatesAndDurations)
{
    EXPECT_EQ(Text::Bytes(0), "0 B");
    EXPECT_EQ(Text::Bytes(1023), "1023 B");
    EXPECT_EQ(Text::Bytes(1536), "1.50 KB");
    EXPECT_EQ(Text::Bytes(50 * 1024 * 1024), "50.0 MB");
    EXPECT_EQ(Text::Bytes(1000 * 1024), "0.98 MB");
    EXPECT_EQ(Text::Rate(0), "-");
    EXPECT_EQ(Text::Rate(2 * 1024 * 1024), "2.00 MB/s");
    EXPECT_EQ(Text::Duration(7), "0:07");
    EXPECT_EQ(Text::Duration(750), "12:30");
    EXPECT_EQ(Text::Duration(10925), "3:02:05");
    EXPECT_EQ(Text::Duration(-1), "--:--");
    EXPECT_EQ(Text::Duration(1e12), "--:--");
}

TEST(TbmProgressTextTest, ShortenKeepsTheEndAndWholeCharacters)
{
    EXPECT_EQ(Text::Shorten("short.txt", 20), "short.txt");
    EXPECT_EQ(Text::Shorten("/home/u/documents/report.txt", 14), ".../report.txt");
    // Each "é" is two bytes but one column; no sequence is cut in half.
    const std::string name = "/a/\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9.txt";
    const std::string shortened = Text::Shorten(name, 8);
    EXPECT_EQ(Text::Columns(shortened), 8u);
    EXPECT_EQ(shortened, "...\xC3\xA9.txt");
    EXPECT_EQ(Text::Shorten("abcdef", 2), "..");
}

TEST(TbmProgressTextTest, BarAndLineStayInTheirWidth)
{
    EXPECT_EQ(Text::Bar(0, 0, 4), "[....]");
    EXPECT_EQ(Text::Bar(1, 2, 4), "[##..]");
    EXPECT_EQ(Text::Bar(5, 2, 4), "[####]"); // more done than the total never overflows
    const std::string longName(300, 'x');
    for (const std::size_t columns : {20u, 40u, 79u, 200u}) {
        const std::string line = Text::Line(longName, 512 * 1024, 1024 * 1024, 2.0, columns);
        EXPECT_LE(Text::Columns(line), columns) << columns;
    }
    const std::string line = Text::Line("a.txt", 512 * 1024, 1024 * 1024, 2.0, 100);
    EXPECT_NE(line.find(" 50% "), std::string::npos);
    EXPECT_NE(line.find("a.txt"), std::string::npos);
    EXPECT_NE(line.find("256 KB/s"), std::string::npos);
    EXPECT_NE(line.find("0:02 left"), std::string::npos);
}

struct QuoteCase
{
    std::string in;
    std::string out;
};

class TbmJsonTest : public ::testing::TestWithParam<QuoteCase>
{
};

TEST_P(TbmJsonTest, QuotesAnyBytesAsValidJson)
{
    EXPECT_EQ(CTbmJson::Quote(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TbmJsonTest,
    ::testing::Values(QuoteCase{"", "\"\""}, QuoteCase{"a/b.txt", "\"a/b.txt\""},
                      QuoteCase{"say \"hi\"\\", "\"say \\\"hi\\\"\\\\\""},
                      QuoteCase{"a\nb\t\x01\x7F", "\"a\\u000ab\\u0009\\u0001\\u007f\""},
                      QuoteCase{"\xC3\xA9t\xC3\xA9", "\"\xC3\xA9t\xC3\xA9\""},
                      QuoteCase{"\xF0\x9F\x98\x80", "\"\xF0\x9F\x98\x80\""},
                      // Latin-1, a cut sequence, an overlong "/" and a surrogate.
                      QuoteCase{"\xE9t\xE9", "\"\\ufffdt\\ufffd\""},
                      QuoteCase{"x\xC3", "\"x\\ufffd\""},
                      QuoteCase{"\xC0\xAF", "\"\\ufffd\\ufffd\""},
                      QuoteCase{"\xED\xA0\x80", "\"\\ufffd\\ufffd\\ufffd\""},
                      QuoteCase{std::string("a\0b", 3), "\"a\\u0000b\""}));

TEST(TbmPasswordTest, FirstLineWithoutItsEnd)
{
    EXPECT_EQ(CTbmPassword::FirstLine("secret\n"), "secret");
    EXPECT_EQ(CTbmPassword::FirstLine("secret\r\nsecond line\n"), "secret");
    EXPECT_EQ(CTbmPassword::FirstLine("no end"), "no end");
    EXPECT_EQ(CTbmPassword::FirstLine("\nafter"), "");
}

} // namespace
