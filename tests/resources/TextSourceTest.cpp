#include "TextSource.h"
#include "PageListing.h"
#include "ResGenError.h"
#include "SourceText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TextSourceTest, DecodesEscapesAndKeepsEverythingElseVerbatim)
{
    const auto entries =
        CTextSource::Parse("10\tone\\ntwo\\tthree\\\\four\n11\t  padded  \n12\t100% #1\n", "t");
    ASSERT_EQ(3u, entries.size());
    EXPECT_EQ(10u, entries[0].id);
    EXPECT_EQ("one\ntwo\tthree\\four", entries[0].text);
    EXPECT_EQ("  padded  ", entries[1].text);
    EXPECT_EQ("100% #1", entries[2].text);
    EXPECT_EQ(3u, entries[2].line);
}

TEST(TextSourceTest, SkipsCommentsBlankLinesByteOrderMarkAndCarriageReturns)
{
    const auto entries = CTextSource::Parse(
        "\xEF\xBB\xBF# heading\r\n\r\n   \t \r\n  # indented comment\r\n42\tanswer\r\n65535\tlast",
        "t");
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ(42u, entries[0].id);
    EXPECT_EQ("answer", entries[0].text);
    EXPECT_EQ(5u, entries[0].line);
    EXPECT_EQ(65535u, entries[1].id);
    EXPECT_EQ("last", entries[1].text);
}

TEST(TextSourceTest, KeepsUtf8TextAndLeadingZeros)
{
    const auto entries = CTextSource::Parse("007\tcaf\xC3\xA9 \xE2\x82\xAC\n", "t");
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ(7u, entries[0].id);
    EXPECT_EQ("caf\xC3\xA9 \xE2\x82\xAC", entries[0].text);
}

TEST(TextSourceTest, SameNumberWrittenTwoWaysIsADuplicate)
{
    EXPECT_THROW(CTextSource::Parse("7\ta\n007\tb\n", "t"), CResGenError);
}

TEST(TextSourceTest, ErrorMessageNamesFileAndLine)
{
    try {
        CTextSource::Parse("1\tok\n2\tbad \\x\n", "dir/TextRes.txt");
        FAIL() << "no error";
    } catch (const CResGenError& error) {
        EXPECT_EQ(0, std::string(error.what()).rfind("dir/TextRes.txt:2: bad escape \\x", 0))
            << error.what();
    }
}

TEST(PageListingTest, ReadsNamesInOrderAndTrimsBlanks)
{
    const auto names = CPageListing::ParseNames("# pages\n a.html \n\nb-2_x.htm\r\n", "l");
    ASSERT_EQ(2u, names.size());
    EXPECT_EQ("a.html", names[0]);
    EXPECT_EQ("b-2_x.htm", names[1]);
}

struct Utf8Case
{
    const char* name;
    std::string bytes;
    bool valid;
};

class Utf8Test : public ::testing::TestWithParam<Utf8Case>
{
};

TEST_P(Utf8Test, TellsWellFormedUtf8)
{
    EXPECT_EQ(GetParam().valid, resgen::IsValidUtf8(GetParam().bytes));
}

const Utf8Case kUtf8[] = {{"Ascii", "plain", true},
                          {"TwoBytes", "\xC3\xA9", true},
                          {"ThreeBytes", "\xE2\x82\xAC", true},
                          {"FourBytes", "\xF0\x9F\x98\x80", true},
                          {"LastCodePoint", "\xF4\x8F\xBF\xBF", true},
                          {"Latin1", "\xE9", false},
                          {"OverlongTwoBytes", "\xC0\x80", false},
                          {"OverlongThreeBytes", "\xE0\x80\xAF", false},
                          {"Surrogate", "\xED\xA0\x80", false},
                          {"AboveLastCodePoint", "\xF4\x90\x80\x80", false},
                          {"LoneContinuation", "\x80", false},
                          {"CutShort", "ab\xE2\x82", false},
                          {"BadContinuation", "\xE2\x28\xA1", false}};

INSTANTIATE_TEST_SUITE_P(Bytes, Utf8Test, ::testing::ValuesIn(kUtf8),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
