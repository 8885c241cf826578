#include "TextFileConverter.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using tbmtest::ReadFileBytes;
using tbmtest::TempDirTest;
using tbmtest::WriteFileBytes;

namespace {

std::string Utf16Le(std::u16string_view text)
{
    std::string out;
    for (const char16_t unit : text) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>(unit >> 8);
    }
    return out;
}

struct AnsiCase
{
    const char* label;
    const char* codePage;
    std::string fileBytes;
    std::string ansi;
    bool defaultCharUsed;
};

class ToAnsiTest : public TempDirTest, public ::testing::WithParamInterface<AnsiCase>
{
};

} // namespace

TEST_P(ToAnsiTest, ConvertsUtf16FilesToTheCodePage)
{
    const AnsiCase& c = GetParam();
    const std::string path = m_dir / "file.txt";
    WriteFileBytes(path, c.fileBytes);
    CTextFileConverter converter;
    converter.SetAnsiCodePage(c.codePage);
    ASSERT_TRUE(converter.Load(path));
    EXPECT_TRUE(converter.IsUnicode());
    converter.Convert();
    EXPECT_EQ(c.ansi, converter.GetOutput()) << c.label;
    EXPECT_EQ(c.defaultCharUsed, converter.GetDefaultCharUsed()) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    CodePages, ToAnsiTest,
    ::testing::Values(
        AnsiCase{"utf8", "UTF-8", "\xFF\xFE" + Utf16Le(u"\u00E4\u20AC\u65E5\U0001F600"),
                 "\xC3\xA4\xE2\x82\xAC\xE6\x97\xA5\xF0\x9F\x98\x80", false},
        // Characters the code page cannot hold become "?", one for each character.
        AnsiCase{"cp1252", "CP1252", "\xFF\xFE" + Utf16Le(u"\u00E4\u20AC\u65E5\U0001F600!"),
                 "\xE4\x80?"
                 "?!",
                 true},
        AnsiCase{"bigEndian", "CP1252", std::string("\xFE\xFF\x00\xE4\x00\x41", 6), "\xE4\x41",
                 false},
        AnsiCase{"loneSurrogate", "UTF-8",
                 "\xFF\xFE" + Utf16Le(std::u16string(u"a\xD800"
                                                     "b")),
                 "a?b", true},
        AnsiCase{"oddLength", "UTF-8", "\xFF\xFE" + Utf16Le(u"ab") + "c", "ab?", true},
        AnsiCase{"crlf", "UTF-8", "\xFF\xFE" + Utf16Le(u"REGEDIT4\r\n\r\n"), "REGEDIT4\r\n\r\n",
                 false},
        AnsiCase{"onlyTheMark", "UTF-8", "\xFF\xFE", "", false}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(TempDirTest, AnsiFilesAreNotUnicodeAndConvertToUtf16)
{
    const std::string path = m_dir / "ansi.txt";
    WriteFileBytes(path, "a\xC3\xA4\xFF");
    CTextFileConverter converter;
    converter.SetAnsiCodePage("UTF-8");
    ASSERT_TRUE(converter.Load(path));
    EXPECT_FALSE(converter.IsUnicode());
    EXPECT_EQ(CTextFileConverter::kAnsi, converter.GetInputEncoding());
    converter.Convert();
    // An invalid byte becomes U+FFFD.
    EXPECT_EQ(Utf16Le(u"a\u00E4\uFFFD"), converter.GetOutput());
}

TEST_F(TempDirTest, ShortFilesAreAnsi)
{
    for (const std::string& bytes : {std::string(), std::string("\xFF")}) {
        const std::string path = m_dir / "short.txt";
        WriteFileBytes(path, bytes);
        CTextFileConverter converter;
        ASSERT_TRUE(converter.Load(path));
        EXPECT_EQ(CTextFileConverter::kAnsi, converter.GetInputEncoding());
    }
}

TEST_F(TempDirTest, LoadFailsForAMissingFileAndSaveWithoutAConversion)
{
    CTextFileConverter converter;
    EXPECT_FALSE(converter.Load(m_dir / "missing.txt"));
    EXPECT_FALSE(converter.Save(m_dir / "out.txt"));
    EXPECT_FALSE(std::filesystem::exists(m_dir / "out.txt"));
}

TEST_F(TempDirTest, SaveReplacesTheFileWholeOrNotAtAll)
{
    const std::string path = m_dir / "file.reg";
    WriteFileBytes(path, "\xFF\xFE" + Utf16Le(u"text"));
    CTextFileConverter converter;
    converter.SetAnsiCodePage("UTF-8");
    ASSERT_TRUE(converter.Load(path));
    converter.Convert();
    EXPECT_FALSE(converter.Save(m_dir / "no such folder/file.reg"));
    EXPECT_TRUE(converter.Save(path));
    EXPECT_EQ("text", ReadFileBytes(path));
}

TEST(TextFileConverterCodePageTest, TheLocalesCodeSetWithAsciiCountedAsUtf8)
{
    const std::string codeSet = CTextFileConverter::SystemAnsiCodePage();
    EXPECT_FALSE(codeSet.empty());
    EXPECT_NE("ANSI_X3.4-1968", codeSet);
    EXPECT_EQ(codeSet, CTextFileConverter().GetAnsiCodePage());
}
