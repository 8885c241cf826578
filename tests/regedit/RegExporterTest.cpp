#include "RegExporter.h"
#include "RegFileError.h"
#include "RegTextCodec.h"

#include "RegeditFixture.h"

#include <sys/stat.h>

#include <filesystem>
#include <string>

using tbmtest::ReadFileBytes;
using tbmtest::WriteFileBytes;

namespace {

class RegExporterTest : public RegeditFixture
{
protected:
    // The export as UTF-8 text without the byte-order mark.
    static std::string ExportText(const std::string& key)
    {
        const std::string bytes = CRegExporter::ExportKey(key);
        EXPECT_EQ("\xFF\xFE", bytes.substr(0, 2));
        return RegUtf16ToUtf8(RegBytesToUtf16(std::string_view(bytes).substr(2)));
    }

    // The section lines of an export, in order.
    static std::vector<std::string> Sections(const std::string& text)
    {
        std::vector<std::string> sections;
        for (const std::string& line : tbmtest::Lines(text))
            if (!line.empty() && line[0] == '[')
                sections.push_back(line.substr(0, line.size() - 1)); // without the CR
        return sections;
    }
};

} // namespace

TEST_F(RegExporterTest, WritesASmallKeyByteForByte)
{
    SetText("Software\\Tovan", "", "Tovan Backup");
    SetValue("Software\\Tovan", "Count", REG_DWORD, std::string("\x03\0\0\0", 4));
    SetValue("Software\\Tovan\\Sub", "Data", REG_BINARY, std::string("\x01\x02", 2));
    CreateKey("Software\\Tovan\\Empty");
    const std::u16string expected = u"Windows Registry Editor Version 5.00\r\n"
                                    u"\r\n"
                                    u"[HKEY_CURRENT_USER\\Software\\Tovan]\r\n"
                                    u"@=\"Tovan Backup\"\r\n"
                                    u"\"Count\"=dword:00000003\r\n"
                                    u"\r\n"
                                    u"[HKEY_CURRENT_USER\\Software\\Tovan\\Empty]\r\n"
                                    u"\r\n"
                                    u"[HKEY_CURRENT_USER\\Software\\Tovan\\Sub]\r\n"
                                    u"\"Data\"=hex:01,02\r\n"
                                    u"\r\n";
    EXPECT_EQ(Utf16Bytes(expected, true),
              CRegExporter::ExportKey("HKEY_CURRENT_USER\\Software\\Tovan"));
}

TEST_F(RegExporterTest, SpellsTheKeyAsGivenAndTheKeysBelowAsStored)
{
    SetText("Software\\Tovan\\SubKey", "v", "1");
    EXPECT_EQ((std::vector<std::string>{"[HKEY_CURRENT_USER\\SOFTWARE\\tovan]",
                                        "[HKEY_CURRENT_USER\\SOFTWARE\\tovan\\SubKey]"}),
              Sections(ExportText("hkcu\\SOFTWARE\\tovan\\")));
}

TEST_F(RegExporterTest, WritesSubKeysDepthFirstInCaseFoldedOrder)
{
    for (const char* path : {"T\\b", "T\\A\\z", "T\\C", "T\\a2"})
        CreateKey(path);
    EXPECT_EQ(
        (std::vector<std::string>{"[HKEY_CURRENT_USER\\T]", "[HKEY_CURRENT_USER\\T\\A]",
                                  "[HKEY_CURRENT_USER\\T\\A\\z]", "[HKEY_CURRENT_USER\\T\\a2]",
                                  "[HKEY_CURRENT_USER\\T\\b]", "[HKEY_CURRENT_USER\\T\\C]"}),
        Sections(ExportText("HKEY_CURRENT_USER\\T")));
}

TEST_F(RegExporterTest, WritesValuesInTheOrderTheyWereMade)
{
    SetText("T", "z", "1");
    SetText("T", "", "2");
    SetText("T", "a", "3");
    const std::string text = ExportText("HKCU\\T");
    EXPECT_LT(text.find("\"z\"="), text.find("@="));
    EXPECT_LT(text.find("@="), text.find("\"a\"="));
}

TEST_F(RegExporterTest, ExportsAWholeRoot)
{
    SetValue("", "Top", REG_DWORD, std::string(4, '\0'), HKEY_USERS);
    SetValue("Person", "Name", REG_SZ, std::string("x\0", 2), HKEY_USERS);
    SetText("Other", "v", "1"); // below HKEY_CURRENT_USER: not part of it
    const std::string text = ExportText("HKU");
    EXPECT_EQ((std::vector<std::string>{"[HKEY_USERS]", "[HKEY_USERS\\Person]"}), Sections(text));
    EXPECT_NE(std::string::npos, text.find("[HKEY_USERS]\r\n\"Top\"=dword:00000000\r\n"));
}

TEST_F(RegExporterTest, AMissingKeyIsAnErrorAndWritesNoFile)
{
    SetText("Software\\Tovan", "v", "1");
    const std::string file = m_dir / "out.reg";
    EXPECT_THROW(CRegExporter::ExportToFile(file, "HKEY_CURRENT_USER\\Software\\Nope"),
                 CRegFileError);
    EXPECT_FALSE(std::filesystem::exists(file));
    // Nor does a failed export touch a file that was there before.
    WriteFileBytes(file, "keep me");
    EXPECT_THROW(CRegExporter::ExportToFile(file, "HKEY_LOCAL_MACHINE\\Software\\Tovan"),
                 CRegFileError);
    EXPECT_EQ("keep me", ReadFileBytes(file));
    for (const auto& entry : std::filesystem::directory_iterator(m_dir.Path()))
        EXPECT_EQ(std::string::npos, entry.path().filename().string().find("out.reg."))
            << "a temporary file was left: " << entry.path();
}

TEST_F(RegExporterTest, RefusesWhatIsNoKeyPath)
{
    for (const char* bad : {"", "Software\\Tovan", "HKEY_CURRENT_CONFIG\\x", "HKCU\\a\\\\b"})
        EXPECT_THROW(CRegExporter::ExportKey(bad), CRegFileError) << bad;
}

TEST_F(RegExporterTest, RefusesAKeyNameThatWouldSplitALine)
{
    CreateKey("T\\line\nbreak");
    const std::string file = m_dir / "out.reg";
    EXPECT_THROW(CRegExporter::ExportToFile(file, "HKCU\\T"), CRegFileError);
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(RegExporterTest, TheFileIsPrivateToTheUser)
{
    SetText("T", "Password", "secret");
    const std::string file = m_dir / "out.reg";
    CRegExporter::ExportToFile(file, "HKCU\\T");
    struct stat st
    {
    };
    ASSERT_EQ(0, stat(file.c_str(), &st));
    EXPECT_EQ(0600u, st.st_mode & 0777);
    EXPECT_EQ(CRegExporter::ExportKey("HKCU\\T"), ReadFileBytes(file));
}
