#include "RegExporter.h"
#include "RegFileError.h"
#include "RegImporter.h"
#include "RegTextCodec.h"

#include "RegeditFixture.h"

#include <functional>
#include <string>

namespace {

const std::string kV5 = "Windows Registry Editor Version 5.00\r\n\r\n";

class RegImportTest : public RegeditFixture
{
protected:
    // Values of every kind, with names that need escapes, nested keys and defaults.
    // A text without its terminating zero reads back from a REGEDIT4 file as ANSI
    // bytes (its UTF-16 cannot be told from them), so that case is left out there.
    void FillEveryKind(bool unterminatedText = true)
    {
        const std::string k = "Software\\Tovan \"Test\"\\Keys";
        SetText(k, "", "default text");
        SetText(k, "quote\"and\\backslash", "C:\\Program Files\\\"Tovan\"\\");
        SetText(k, "\xC3\x84rger \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80", "gr\xC3\xBC\xC3\x9F");
        SetText(k, "empty", "");
        SetValue(k, "dword", REG_DWORD, "\x78\x56\x34\x12");
        SetValue(k, "qword", REG_QWORD, std::string("\x01\0\0\0\xff\0\0\x80", 8));
        SetValue(k, "binary", REG_BINARY, std::string(300, '\xA5'));
        SetValue(k, "empty binary", REG_BINARY, "");
        SetValue(k, "expand", REG_EXPAND_SZ, std::string("%TEMP%\\\xC3\xA4\0", 10));
        SetValue(k, "multi", REG_MULTI_SZ, std::string("one\0two \xE2\x82\xAC\0\0", 13));
        SetValue(k, "none", REG_NONE, "");
        SetValue(k, "short dword", REG_DWORD, "\x01");
        if (unterminatedText)
            SetValue(k, "text without zero", REG_SZ, "abc");
        SetValue(k, "two lines", REG_SZ, std::string("a\r\nb\0", 5));
        SetValue(k, "odd type", 0x42, std::string("\x00\x01", 2));
        SetText(k + "\\Sub\\Deeper", "", "deep");
        SetText(k + "\\[brackets]", "x", "y");
        CreateKey(k + "\\Empty");
        SetText(k + "\\\xC3\x9C"
                    "ber",
                "v", "1");
    }

    // Exports HKCU\Software, imports the file into an empty registry and compares.
    void ExpectRoundTrip(const std::function<std::string(const std::string&)>& transform)
    {
        const std::vector<TvRegKeyContent> before = Dump();
        const std::string file = transform(CRegExporter::ExportKey("HKEY_CURRENT_USER\\Software"));
        UseRegistry(m_dir / "second.sqlite");
        ASSERT_EQ(1u, Dump().size());
        CRegImporter::ImportBytes(file);
        EXPECT_EQ(before, Dump());
    }
};

// What the program's normalisation makes of an export: UTF-8 text under "REGEDIT4".
std::string Normalised(const std::string& exported)
{
    std::string text = RegUtf16ToUtf8(RegBytesToUtf16(std::string_view(exported).substr(2)));
    const std::string header = "Windows Registry Editor Version 5.00";
    return "REGEDIT4" + text.substr(header.size());
}

} // namespace

TEST_F(RegImportTest, AnExportImportsIntoAnEmptyRegistryUnchanged)
{
    FillEveryKind();
    ExpectRoundTrip([](const std::string& file) { return file; });
}

TEST_F(RegImportTest, ANormalisedExportImportsUnchanged)
{
    FillEveryKind(false);
    ExpectRoundTrip(Normalised);
}

TEST_F(RegImportTest, BytesThatAreNoUtf8SurviveTheRoundTrip)
{
    SetText("Software\\Odd\xFF", "name\xFE", "text\xC0\xAF");
    SetValue("Software\\Odd\xFF", "expand", REG_EXPAND_SZ, "\xED\xA0\x80\x01");
    ExpectRoundTrip([](const std::string& file) { return file; });
}

TEST_F(RegImportTest, ASyntaxErrorChangesNothing)
{
    SetText("T", "kept", "old");
    const std::string file = kV5 + "[HKEY_CURRENT_USER\\T]\r\n"
                                   "\"kept\"=\"new\"\r\n"
                                   "[-HKEY_CURRENT_USER\\T]\r\n"
                                   "[HKEY_CURRENT_USER\\U]\r\n"
                                   "\"v\"=dword:1\r\n"
                                   "\"w\"=hex:zz\r\n";
    try {
        CRegImporter::ImportBytes(file);
        FAIL() << "the fault was not reported";
    } catch (const CRegFileError& error) {
        EXPECT_EQ(8u, error.Line());
    }
    EXPECT_EQ(std::string("1:old") + '\0', GetValue("T", "kept"));
    EXPECT_FALSE(KeyExists("U"));
}

TEST_F(RegImportTest, DeletesKeysAndValues)
{
    SetText("T\\Gone\\Deep", "v", "1");
    SetText("T", "", "default");
    SetText("T", "a", "1");
    SetText("T", "b", "2");
    CRegImporter::ImportBytes(kV5 + "[-HKEY_CURRENT_USER\\T\\Gone]\r\n"
                                    "[-HKEY_CURRENT_USER\\T\\NeverThere]\r\n"
                                    "[HKEY_CURRENT_USER\\T]\r\n"
                                    "\"A\"=-\r\n"
                                    "@=-\r\n"
                                    "\"missing\"=-\r\n");
    EXPECT_FALSE(KeyExists("T\\Gone"));
    EXPECT_EQ("missing", GetValue("T", "a"));
    EXPECT_EQ("missing", GetValue("T", ""));
    EXPECT_EQ(std::string("1:2") + '\0', GetValue("T", "b"));
}

TEST_F(RegImportTest, ReplacesValuesAndMergesKeysWithoutRegardToCase)
{
    SetText("Software\\Tovan", "v", "text");
    SetText("Software\\Tovan", "other", "stays");
    CRegImporter::ImportBytes(kV5 + "[HKEY_CURRENT_USER\\SOFTWARE\\tovan]\r\n"
                                    "\"V\"=dword:00000001\r\n"
                                    "[HKEY_CURRENT_USER\\SOFTWARE\\tovan\\New]\r\n");
    EXPECT_EQ(std::string("4:\x01\0\0\0", 6), GetValue("Software\\Tovan", "v"));
    EXPECT_EQ(std::string("1:stays") + '\0', GetValue("Software\\Tovan", "other"));
    EXPECT_TRUE(KeyExists("Software\\Tovan\\New"));
    EXPECT_EQ(4u, Dump().size()); // HKCU, Software, Tovan, New: nothing doubled
}

TEST_F(RegImportTest, ImportsIntoEveryRoot)
{
    CRegImporter::ImportBytes(kV5 + "[HKEY_LOCAL_MACHINE\\A]\r\n\"v\"=\"1\"\r\n"
                                    "[HKCR\\.tbm]\r\n@=\"TBMFile\"\r\n"
                                    "[HKEY_USERS]\r\n\"top\"=dword:2\r\n");
    EXPECT_EQ(std::string("1:1") + '\0', GetValue("A", "v", HKEY_LOCAL_MACHINE));
    EXPECT_EQ(std::string("1:TBMFile") + '\0', GetValue(".tbm", "", HKEY_CLASSES_ROOT));
    EXPECT_EQ(std::string("4:\x02\0\0\0", 6), GetValue("", "top", HKEY_USERS));
}
