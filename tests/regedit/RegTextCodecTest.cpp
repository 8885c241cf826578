#include "RegTextCodec.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct CodecCase
{
    const char* label;
    std::string utf8;
    std::u16string utf16;
};

class Utf8Utf16Test : public ::testing::TestWithParam<CodecCase>
{
};

} // namespace

TEST_P(Utf8Utf16Test, ConvertsBothWays)
{
    const CodecCase& c = GetParam();
    EXPECT_EQ(c.utf16, RegUtf8ToUtf16(c.utf8)) << c.label;
    EXPECT_EQ(c.utf8, RegUtf16ToUtf8(c.utf16)) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Utf8Utf16Test,
    ::testing::Values(CodecCase{"ascii", "Software\\Tovan", u"Software\\Tovan"},
                      CodecCase{"latin", "\xC3\x84rger", u"\u00C4rger"},
                      CodecCase{"cjk", "\xE6\x97\xA5\xE6\x9C\xAC", u"\u65E5\u672C"},
                      CodecCase{"astral", "\xF0\x9F\x98\x80", u"\U0001F600"},
                      CodecCase{"zero", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
                      // Bytes that are no UTF-8 travel as U+DC80..U+DCFF, one per byte.
                      CodecCase{"stray byte", "a\xFF", u"a\xDCFF"},
                      CodecCase{"cut sequence", "\xE6\x97", u"\xDCE6\xDC97"},
                      CodecCase{"overlong", "\xC0\xAF", u"\xDCC0\xDCAF"},
                      CodecCase{"encoded surrogate", "\xED\xA0\x80", u"\xDCED\xDCA0\xDC80"}),
    [](const auto& info) {
        std::string name = info.param.label;
        for (char& c : name)
            if (c == ' ')
                c = '_';
        return name;
    });

TEST(RegTextCodecTest, AnyBytesSurviveTheTripThroughUtf16)
{
    std::string all;
    for (int i = 0; i < 256; ++i)
        all += static_cast<char>(i);
    EXPECT_EQ(all, RegUtf16ToUtf8(RegUtf8ToUtf16(all)));
}

TEST(RegTextCodecTest, LoneSurrogatesOfOtherFilesKeepTheirThreeByteForm)
{
    EXPECT_EQ("\xED\xA0\x80x", RegUtf16ToUtf8(u"\xD800x"));
    EXPECT_EQ("\xED\xBF\xBF", RegUtf16ToUtf8(u"\xDFFF"));
}

TEST(RegTextCodecTest, TellsValidUtf8)
{
    EXPECT_TRUE(RegIsValidUtf8("plain \xC3\xA4 \xF0\x9F\x98\x80"));
    EXPECT_FALSE(RegIsValidUtf8("caf\xE9"));
    EXPECT_FALSE(RegIsValidUtf8("\xED\xA0\x80"));
    EXPECT_FALSE(RegIsValidUtf8("\xF4\x90\x80\x80")); // beyond U+10FFFF
}

TEST(RegTextCodecTest, ReadsWindows1252)
{
    EXPECT_EQ("caf\xC3\xA9", RegWindows1252ToUtf8("caf\xE9"));
    EXPECT_EQ("\xE2\x82\xAC", RegWindows1252ToUtf8("\x80")); // euro sign
    EXPECT_EQ("\xC5\xB8", RegWindows1252ToUtf8("\x9F"));     // Y with diaeresis
    EXPECT_EQ("\xC2\x81", RegWindows1252ToUtf8("\x81"));     // undefined: U+0081
    EXPECT_EQ("\xC3\xBF", RegWindows1252ToUtf8("\xFF"));
}

TEST(RegTextCodecTest, ReadsUtf16BytesInEitherOrder)
{
    EXPECT_EQ(u"A\u00E4", RegBytesToUtf16(std::string("A\0\xE4\0", 4)));
    EXPECT_EQ(u"A\u00E4", RegBytesToUtf16(std::string("\0A\0\xE4", 4), true));
    EXPECT_EQ(std::string("A\0\xE4\0", 4), RegUtf16ToBytes(u"A\u00E4"));
}
