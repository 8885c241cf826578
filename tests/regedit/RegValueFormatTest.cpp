#include "RegValueFormat.h"
#include "RegFileError.h"
#include "RegTextCodec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

TvRegValue Value(const std::string& name, DWORD type, const std::string& bytes)
{
    TvRegValue value;
    value.name = name;
    value.type = type;
    value.data.assign(bytes.begin(), bytes.end());
    return value;
}

std::string Text(const std::string& text)
{
    return text + std::string(1, '\0');
}

struct FormatCase
{
    const char* label;
    TvRegValue value;
    const char* line; // UTF-8; continuation lines end in "\\\r\n"
};

class RegValueFormatTest : public ::testing::TestWithParam<FormatCase>
{
};

} // namespace

TEST_P(RegValueFormatTest, WritesTheEditorsForm)
{
    const FormatCase& c = GetParam();
    EXPECT_EQ(c.line, RegUtf16ToUtf8(RegFormatValue(c.value))) << c.label;
}

// Lines taken from registry files the Windows registry editor wrote: the hex lines
// break after the comma that reaches column 77, whatever the prefix's length.
INSTANTIATE_TEST_SUITE_P(
    EditorSamples, RegValueFormatTest,
    ::testing::Values(
        FormatCase{
            "prefix9", Value("", REG_EXPAND_SZ, Text("%SystemRoot%\\system32\\imageres.dll,-102")),
            "@=hex(2):25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,74,00,25,\\\r\n"
            "  00,5c,00,73,00,79,00,73,00,74,00,65,00,6d,00,33,00,32,00,5c,00,69,00,6d,00,\\\r\n"
            "  61,00,67,00,65,00,72,00,65,00,73,00,2e,00,64,00,6c,00,6c,00,2c,00,2d,00,31,\\\r\n"
            "  00,30,00,32,00,00,00"},
        FormatCase{
            "prefix19", Value("ImagePath", REG_EXPAND_SZ, Text("system32\\drivers\\msseccore.sys")),
            "\"ImagePath\"=hex(2):73,00,79,00,73,00,74,00,65,00,6d,00,33,00,32,00,5c,00,64,00,"
            "\\\r\n"
            "  72,00,69,00,76,00,65,00,72,00,73,00,5c,00,6d,00,73,00,73,00,65,00,63,00,63,\\\r\n"
            "  00,6f,00,72,00,65,00,2e,00,73,00,79,00,73,00,00,00"},
        FormatCase{
            "prefix20", Value("DevicePath", REG_EXPAND_SZ, Text("%SystemRoot%\\inf")),
            "\"DevicePath\"=hex(2):25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,\\\r\n"
            "  00,74,00,25,00,5c,00,69,00,6e,00,66,00,00,00"},
        FormatCase{
            "prefix26",
            Value("FriendlyTypeName", REG_EXPAND_SZ,
                  Text("@%SystemRoot%\\system32\\notepad.exe,-469")),
            "\"FriendlyTypeName\"=hex(2):40,00,25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,\\\r\n"
            "  00,6f,00,6f,00,74,00,25,00,5c,00,73,00,79,00,73,00,74,00,65,00,6d,00,33,00,\\\r\n"
            "  32,00,5c,00,6e,00,6f,00,74,00,65,00,70,00,61,00,64,00,2e,00,65,00,78,00,65,\\\r\n"
            "  00,2c,00,2d,00,34,00,36,00,39,00,00,00"},
        FormatCase{
            "prefix29", Value("MediaPathUnexpanded", REG_EXPAND_SZ, Text("%SystemRoot%\\Media")),
            "\"MediaPathUnexpanded\"=hex(2):25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,\\\r\n"
            "  6f,00,6f,00,74,00,25,00,5c,00,4d,00,65,00,64,00,69,00,61,00,00,00"}),
    [](const auto& info) { return std::string(info.param.label); });

INSTANTIATE_TEST_SUITE_P(
    Types, RegValueFormatTest,
    ::testing::Values(
        FormatCase{"text", Value("Name", REG_SZ, Text("Tovan")), "\"Name\"=\"Tovan\""},
        FormatCase{"default", Value("", REG_SZ, Text("x")), "@=\"x\""},
        FormatCase{"emptyText", Value("E", REG_SZ, Text("")), "\"E\"=\"\""},
        FormatCase{"escapes", Value("a\"b\\c", REG_SZ, Text("C:\\Program Files\\\"x\"")),
                   "\"a\\\"b\\\\c\"=\"C:\\\\Program Files\\\\\\\"x\\\"\""},
        FormatCase{"nonAscii", Value("\xC3\x84rger", REG_SZ, Text("\xE6\x97\xA5")),
                   "\"\xC3\x84rger\"=\"\xE6\x97\xA5\""},
        FormatCase{"atName", Value("@", REG_SZ, Text("x")), "\"@\"=\"x\""},
        FormatCase{"dword", Value("D", REG_DWORD, std::string("\x0a\0\0\0", 4)),
                   "\"D\"=dword:0000000a"},
        FormatCase{"dwordHigh", Value("D", REG_DWORD, "\xef\xbe\xad\xde"), "\"D\"=dword:deadbeef"},
        FormatCase{"dwordShort", Value("D", REG_DWORD, "\x01\x02"), "\"D\"=hex(4):01,02"},
        FormatCase{"binary", Value("B", REG_BINARY, std::string("\x00\xff\x10", 3)),
                   "\"B\"=hex:00,ff,10"},
        FormatCase{"emptyBinary", Value("B", REG_BINARY, ""), "\"B\"=hex:"},
        FormatCase{"qword", Value("Q", REG_QWORD, std::string("\x01\0\0\0\0\0\0\x80", 8)),
                   "\"Q\"=hex(b):01,00,00,00,00,00,00,80"},
        FormatCase{"none", Value("N", REG_NONE, ""), "\"N\"=hex(0):"},
        FormatCase{"bigEndian", Value("N", REG_DWORD_BIG_ENDIAN, std::string("\0\0\0\x01", 4)),
                   "\"N\"=hex(5):00,00,00,01"},
        FormatCase{"otherType", Value("N", 0x100000, "\x01"), "\"N\"=hex(100000):01"},
        FormatCase{"multi", Value("M", REG_MULTI_SZ, std::string("a\0b\0\0", 5)),
                   "\"M\"=hex(7):61,00,00,00,62,00,00,00,00,00"},
        // A text that "..." could not carry back unchanged goes in hex(1).
        FormatCase{"textWithoutZero", Value("T", REG_SZ, "ab"), "\"T\"=hex(1):61,00,62,00"},
        FormatCase{"textWithLineBreak", Value("T", REG_SZ, Text("a\nb")),
                   "\"T\"=hex(1):61,00,0a,00,62,00,00,00"},
        FormatCase{"textWithInnerZero", Value("T", REG_SZ, std::string("a\0b\0", 4)),
                   "\"T\"=hex(1):61,00,00,00,62,00,00,00"},
        FormatCase{"emptyTextData", Value("T", REG_SZ, ""), "\"T\"=hex(1):"},
        // Stored bytes that are no UTF-8 keep their value as U+DC80..U+DCFF.
        FormatCase{"strayByte", Value("X", REG_EXPAND_SZ, "\xff"), "\"X\"=hex(2):ff,dc"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(RegValueFormatWrapTest, ContinuationLinesHoldTwentyFiveBytes)
{
    const auto row = [](int count, bool more) {
        std::string text;
        for (int i = 0; i < count; ++i)
            text += i + 1 < count || more ? "11," : "11";
        return text + (more ? "\\\r\n" : "");
    };
    // "B"=hex: is 8 columns wide, so 23 bytes take the first line to column 77.
    const std::string expected = "\"B\"=hex:" + row(23, true) + "  " + row(25, true) + "  " +
                                 row(25, true) + "  " + row(25, true) + "  " + row(2, false);
    EXPECT_EQ(expected,
              RegUtf16ToUtf8(RegFormatValue(Value("B", REG_BINARY, std::string(100, '\x11')))));
}

TEST(RegValueFormatWrapTest, ALongNameKeepsOneByteOnTheFirstLine)
{
    const std::string name(80, 'n');
    const std::string line =
        RegUtf16ToUtf8(RegFormatValue(Value(name, REG_BINARY, std::string("\x01\x02", 2))));
    EXPECT_EQ("\"" + name + "\"=hex:01,\\\r\n  02", line);
}

TEST(RegValueFormatWrapTest, ColumnsCountUtf16Units)
{
    // Nine CJK characters are nine units (27 bytes of UTF-8).
    std::string name;
    for (int i = 0; i < 9; ++i)
        name += "\xE6\x97\xA5";
    const std::string line =
        RegUtf16ToUtf8(RegFormatValue(Value(name, REG_BINARY, std::string(30, '\x01'))));
    const std::size_t firstBreak = line.find("\\\r\n");
    ASSERT_NE(std::string::npos, firstBreak);
    // A prefix of 16 units: 20 bytes reach column 76, the 21st column 79.
    EXPECT_EQ(21u,
              static_cast<std::size_t>(std::count(line.begin(), line.begin() + firstBreak, ',')));
}

TEST(RegValueFormatNameTest, RefusesNamesWithLineBreaks)
{
    EXPECT_THROW(RegFormatValue(Value("a\nb", REG_SZ, Text("x"))), CRegFileError);
    EXPECT_THROW(RegFormatValue(Value("a\rb", REG_DWORD, "\0\0\0\0")), CRegFileError);
}
