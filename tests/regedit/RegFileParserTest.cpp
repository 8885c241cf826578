#include "RegFileParser.h"
#include "RegFileError.h"
#include "RegRootKey.h"

#include "RegeditFixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Hex(const std::vector<BYTE>& bytes)
{
    std::string out;
    char digits[4];
    for (const BYTE byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", byte);
        out += digits;
    }
    return out;
}

// One line per operation: "create PATH", "delete PATH", "set PATH|NAME|TYPE|HEX",
// "remove PATH|NAME".
std::vector<std::string> Describe(const std::vector<TvRegOperation>& operations)
{
    std::vector<std::string> lines;
    for (const TvRegOperation& op : operations) {
        const std::string key = std::string(RegRootName(op.root)) + "\\" + op.path;
        switch (op.kind) {
        case TvRegOperation::Kind::CreateKey:
            lines.push_back("create " + key);
            break;
        case TvRegOperation::Kind::DeleteKey:
            lines.push_back("delete " + key);
            break;
        case TvRegOperation::Kind::SetValue:
            lines.push_back("set " + key + "|" + op.value.name + "|" +
                            std::to_string(op.value.type) + "|" + Hex(op.value.data));
            break;
        case TvRegOperation::Kind::DeleteValue:
            lines.push_back("remove " + key + "|" + op.value.name);
            break;
        }
    }
    return lines;
}

std::vector<std::string> ParseText(const std::string& body, const char* header = "REGEDIT4")
{
    return Describe(CRegFileParser::Parse(std::string(header) + "\r\n\r\n" + body));
}

struct FaultCase
{
    const char* label;
    std::string file;
    unsigned line;
    const char* message; // a part of the message
};

class RegFileFaultTest : public ::testing::TestWithParam<FaultCase>
{
};

const std::string kV5 = "Windows Registry Editor Version 5.00\r\n\r\n";
const std::string kKey = "[HKEY_CURRENT_USER\\T]\r\n";

} // namespace

TEST_P(RegFileFaultTest, ReportsTheFirstFaultWithItsLine)
{
    const FaultCase& c = GetParam();
    try {
        CRegFileParser::Parse(c.file);
        FAIL() << c.label << ": no fault reported";
    } catch (const CRegFileError& error) {
        EXPECT_EQ(c.line, error.Line()) << c.label << ": " << error.what();
        EXPECT_NE(std::string::npos, std::string(error.what()).find(c.message))
            << c.label << ": " << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, RegFileFaultTest,
    ::testing::Values(
        FaultCase{"empty", "", 1, "not a registry file"},
        FaultCase{"noHeader", "[HKEY_CURRENT_USER\\T]\r\n", 1, "not a registry file"},
        FaultCase{"oddUtf16", "\xFF\xFE\x52\x00\x45", 1, "half a character"},
        FaultCase{"valueFirst", kV5 + "\"v\"=\"x\"\r\n", 3, "before the first"},
        FaultCase{"junk", kV5 + kKey + "junk\r\n", 4, "expected a [key]"},
        FaultCase{"unclosedKey", kV5 + "[HKEY_CURRENT_USER\\T\r\n", 3, "must end with"},
        FaultCase{"unknownRoot", kV5 + "[HKEY_CURRENT_CONFIG\\T]\r\n", 3, "unknown root"},
        FaultCase{"emptyKeyName", kV5 + "[HKEY_CURRENT_USER\\a\\\\b]\r\n", 3, "empty key name"},
        FaultCase{"longKeyName", kV5 + "[HKEY_CURRENT_USER\\" + std::string(256, 'k') + "]\r\n", 3,
                  "255"},
        FaultCase{"deleteRoot", kV5 + "[-HKEY_CURRENT_USER]\r\n", 3, "root key cannot"},
        FaultCase{"belowDeleted", kV5 + "[-HKEY_CURRENT_USER\\T]\r\n\"v\"=\"x\"\r\n", 4, "deleted"},
        FaultCase{"unclosedName", kV5 + kKey + "\"v=x\r\n", 4, "no closing quote"},
        FaultCase{"noEquals", kV5 + kKey + "\"v\" \"x\"\r\n", 4, "\"=\" must follow"},
        FaultCase{"unclosedText", kV5 + kKey + "\"v\"=\"x\r\n", 4, "no closing quote"},
        FaultCase{"afterText", kV5 + kKey + "\"v\"=\"x\" y\r\n", 4, "after the closing quote"},
        FaultCase{"unknownData", kV5 + kKey + "\"v\"=bogus\r\n", 4, "unknown value data"},
        FaultCase{"longDword", kV5 + kKey + "\"v\"=dword:123456789\r\n", 4, "1 to 8"},
        FaultCase{"badDword", kV5 + kKey + "\"v\"=dword:xyz\r\n", 4, "1 to 8"},
        FaultCase{"emptyDword", kV5 + kKey + "\"v\"=dword:\r\n", 4, "1 to 8"},
        FaultCase{"badByte", kV5 + kKey + "\"v\"=hex:0g\r\n", 4, "not a hexadecimal byte"},
        FaultCase{"wideByte", kV5 + kKey + "\"v\"=hex:100\r\n", 4, "not a hexadecimal byte"},
        FaultCase{"emptyByte", kV5 + kKey + "\"v\"=hex:01,,02\r\n", 4, "not a hexadecimal byte"},
        FaultCase{"badType", kV5 + kKey + "\"v\"=hex(zz):01\r\n", 4, "hex(N)"},
        FaultCase{"unclosedType", kV5 + kKey + "\"v\"=hex(2:01\r\n", 4, "hex(N)"},
        FaultCase{"noColon", kV5 + kKey + "\"v\"=hexx\r\n", 4, "\":\" must follow"},
        FaultCase{"oddText", kV5 + kKey + "\"v\"=hex(2):41\r\n", 4, "odd number"},
        FaultCase{"zeroInName", kV5 + kKey + std::string("\"a\0b\"=\"x\"\r\n", 11), 4,
                  "zero character"},
        FaultCase{"returnInName", kV5 + kKey + "\"a\rb\"=\"x\"\r\n", 4, "line break"},
        FaultCase{"returnInKey", kV5 + "[HKEY_CURRENT_USER\\a\rb]\r\n", 3, "line break"},
        // A fault in a continuation line belongs to the value's first line.
        FaultCase{"inContinuation", kV5 + kKey + "\"v\"=hex:01,\\\r\n  zz\r\n", 4,
                  "not a hexadecimal byte"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(RegFileParserTest, ReadsSectionsValuesAndDeletions)
{
    EXPECT_EQ((std::vector<std::string>{
                  "delete HKEY_CURRENT_USER\\Old",
                  "create HKEY_CURRENT_USER\\T",
                  "set HKEY_CURRENT_USER\\T||1|6400",
                  "set HKEY_CURRENT_USER\\T|n|4|2a000000",
                  "remove HKEY_CURRENT_USER\\T|gone",
                  "remove HKEY_CURRENT_USER\\T|",
                  "create HKEY_LOCAL_MACHINE\\S\\U",
                  "set HKEY_LOCAL_MACHINE\\S\\U|b|3|0102",
              }),
              ParseText("[-HKEY_CURRENT_USER\\Old]\r\n"
                        "[HKEY_CURRENT_USER\\T]\r\n"
                        "@=\"d\"\r\n"
                        "\"n\"=dword:0000002a\r\n"
                        "\"gone\"=-\r\n"
                        "@=-\r\n"
                        "\r\n"
                        "[HKEY_LOCAL_MACHINE\\S\\U]\r\n"
                        "\"b\"=hex:01,02\r\n",
                        "Windows Registry Editor Version 5.00"));
}

TEST(RegFileParserTest, SkipsCommentsBlankLinesAndBlanksAroundTheParts)
{
    EXPECT_EQ((std::vector<std::string>{"create HKEY_CURRENT_USER\\T",
                                        "set HKEY_CURRENT_USER\\T|v|4|0a000000",
                                        "set HKEY_CURRENT_USER\\T|w|3|010203"}),
              ParseText("; a comment\r\n"
                        "   \t\r\n"
                        "  [HKEY_CURRENT_USER\\T]  \r\n"
                        "  ; another\r\n"
                        "  \"v\" = DWORD:A \r\n"
                        "\"w\"=HEX: 01 , 02,03 \r\n"));
}

TEST(RegFileParserTest, JoinsContinuationLinesOfHexData)
{
    EXPECT_EQ((std::vector<std::string>{
                  "create HKEY_CURRENT_USER\\T", "set HKEY_CURRENT_USER\\T|b|3|01020304",
                  "set HKEY_CURRENT_USER\\T|t|1|615c00", "set HKEY_CURRENT_USER\\T|e|3|05"}),
              ParseText("[HKEY_CURRENT_USER\\T]\r\n"
                        "\"b\"=hex:01,02,\\\r\n"
                        "  03,\\\r\n"
                        "\t04\r\n"
                        // A text that ends in a backslash goes on no further.
                        "\"t\"=\"a\\\\\"\r\n"
                        "\"e\"=hex:05,\\"));
}

TEST(RegFileParserTest, UnescapesQuotesAndBackslashesOnly)
{
    EXPECT_EQ((std::vector<std::string>{"create HKEY_CURRENT_USER\\T",
                                        "set HKEY_CURRENT_USER\\T|a\"b\\c|1|5c225c6e00"}),
              ParseText("[HKEY_CURRENT_USER\\T]\r\n\"a\\\"b\\\\c\"=\"\\\\\\\"\\n\"\r\n"));
}

TEST(RegFileParserTest, KeyNamesMayHoldBrackets)
{
    EXPECT_EQ((std::vector<std::string>{"create HKEY_CURRENT_USER\\a]b"}),
              ParseText("[HKEY_CURRENT_USER\\a]b]\r\n"));
}

TEST(RegFileParserTest, ReadsEightBitTextAsUtf8OrWindows1252)
{
    EXPECT_EQ((std::vector<std::string>{"create HKEY_CURRENT_USER\\\xC3\xA4",
                                        "set HKEY_CURRENT_USER\\\xC3\xA4|v|1|c3a400"}),
              ParseText("[HKEY_CURRENT_USER\\\xC3\xA4]\r\n\"v\"=\"\xC3\xA4\"\r\n"));
    EXPECT_EQ((std::vector<std::string>{"create HKEY_CURRENT_USER\\\xC3\xA4",
                                        "set HKEY_CURRENT_USER\\\xC3\xA4|v|1|e282ac00"}),
              ParseText("[HKEY_CURRENT_USER\\\xE4]\r\n\"v\"=\"\x80\"\r\n"));
}

TEST(RegFileParserTest, ReadsEveryByteOrderMark)
{
    const std::u16string text = u"REGEDIT4\r\n[HKEY_CURRENT_USER\\\u65E5]\r\n";
    const std::vector<std::string> expected{"create HKEY_CURRENT_USER\\\xE6\x97\xA5"};
    EXPECT_EQ(expected, Describe(CRegFileParser::Parse(Utf16Bytes(text, true))));
    std::string bigEndian = "\xFE\xFF";
    for (const char16_t unit : text) {
        bigEndian += static_cast<char>(unit >> 8);
        bigEndian += static_cast<char>(unit & 0xFF);
    }
    EXPECT_EQ(expected, Describe(CRegFileParser::Parse(bigEndian)));
    EXPECT_EQ(expected, Describe(CRegFileParser::Parse(
                            "\xEF\xBB\xBFREGEDIT4\n[HKEY_CURRENT_USER\\\xE6\x97\xA5]\n")));
}

namespace {

struct HexTextCase
{
    const char* label;
    const char* header;
    const char* data;     // after "v"=
    const char* expected; // type|hex of the stored bytes
};

class RegHexTextTest : public ::testing::TestWithParam<HexTextCase>
{
};

} // namespace

TEST_P(RegHexTextTest, StoresTextsInHexFormsAsUtf8)
{
    const HexTextCase& c = GetParam();
    const std::vector<std::string> ops =
        ParseText(std::string("[HKEY_CURRENT_USER\\T]\r\n\"v\"=") + c.data + "\r\n", c.header);
    ASSERT_EQ(2u, ops.size());
    EXPECT_EQ(std::string("set HKEY_CURRENT_USER\\T|v|") + c.expected, ops[1]) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, RegHexTextTest,
    ::testing::Values(
        HexTextCase{"v5Expand", "Windows Registry Editor Version 5.00", "hex(2):25,00,e4,00,00,00",
                    "2|25c3a400"},
        HexTextCase{"v5Multi", "Windows Registry Editor Version 5.00",
                    "hex(7):61,00,00,00,62,00,00,00,00,00", "7|6100620000"},
        HexTextCase{"v5SzStrayByte", "Windows Registry Editor Version 5.00", "hex(1):ff,dc",
                    "1|ff"},
        HexTextCase{"v5BinaryStaysRaw", "Windows Registry Editor Version 5.00", "hex:41,00",
                    "3|4100"},
        // A normalised export of Version 5.00 keeps its UTF-16 hex under "REGEDIT4".
        HexTextCase{"r4Utf16Expand", "REGEDIT4", "hex(2):25,00,e4,00,00,00", "2|25c3a400"},
        HexTextCase{"r4Utf16Multi", "REGEDIT4", "hex(7):61,00,00,00,62,00,00,00,00,00",
                    "7|6100620000"},
        HexTextCase{"r4Utf16EmptyMulti", "REGEDIT4", "hex(7):00,00", "7|00"},
        // ANSI texts of the older editors.
        HexTextCase{"r4AnsiExpand", "REGEDIT4", "hex(2):25,61,00", "2|256100"},
        HexTextCase{"r4AnsiEvenExpand", "REGEDIT4", "hex(2):61,62,63,00", "2|61626300"},
        HexTextCase{"r4AnsiMulti", "REGEDIT4", "hex(7):61,62,00,00", "7|61620000"},
        HexTextCase{"r4AnsiMultiTwo", "REGEDIT4", "hex(7):61,00,62,00,00", "7|6100620000"},
        HexTextCase{"r4Ansi1252", "REGEDIT4", "hex(2):e4,00", "2|c3a400"},
        HexTextCase{"r4AnsiUtf8", "REGEDIT4", "hex(2):c3,a4,00", "2|c3a400"}),
    [](const auto& info) { return std::string(info.param.label); });
