#include "RegistryExport.h"
#include "ProjectData.h"
#include "RegContentCompare.h"
#include "RegStoreAccess.h"
#include "RegistryImport.h"
#include "RegistryStore.h"

#include "Globals.h"
#include "ScriptedPrompt.h"
#include "SourcesFixture.h"

#include <sys/stat.h>

#include <filesystem>
#include <regex>
#include <string>

using tbmtest::ReadFileBytes;
using tbmtest::WriteFileBytes;

namespace fs = std::filesystem;

namespace {

class RegistryExportTest : public SourcesFixture
{
protected:
    std::string WorkFolder() const { return m_dir / "work folder"; }

    // Every value type, nested keys, default values and names that need escapes.
    static void FillAccounts()
    {
        const std::string k = "Software\\Microsoft\\Internet Account Manager";
        SetText(k, "", "default");
        SetText(k, "Default Mail Account", "00000001");
        SetText(k + "\\Accounts\\00000001", "Account Name", "Mail \"Home\" \xC3\x84rger");
        SetText(k + "\\Accounts\\00000001", "POP3 \\ Server", "pop.example.org");
        SetValue(k + "\\Accounts\\00000001", "POP3 Port", REG_DWORD, std::string("\x6e\0\0\0", 4));
        SetValue(k + "\\Accounts\\00000001", "Password", REG_BINARY, std::string(40, '\x5a'));
        SetValue(k + "\\Accounts\\00000001", "Folder", REG_EXPAND_SZ,
                 std::string("%UserProfile%\\Mail\0", 20));
        SetValue(k + "\\Accounts\\00000001", "Servers", REG_MULTI_SZ,
                 std::string("a\0b \xE6\x97\xA5\0\0", 10));
        SetValue(k + "\\Accounts\\00000001", "Stamp", REG_QWORD,
                 std::string("\1\2\3\4\5\6\7\x08", 8));
        SetValue(k + "\\Accounts\\00000001", "Nothing", REG_NONE, "");
        SetText(k + "\\Accounts\\Zweitkonto \xC3\x84", "Name \"in quotes\"", "\xE6\x97\xA5");
    }
};

std::vector<TvRegKeyContent> ReadKeys(const std::string& key)
{
    std::vector<TvRegKeyContent> keys;
    EXPECT_EQ(ERROR_SUCCESS, CRegStoreAccess::ReadTree(HKEY_CURRENT_USER, key, keys));
    return keys;
}

} // namespace

TEST_F(RegistryExportTest, MakesAPrivateExportFolderInTheWorkFolder)
{
    const CRegistryExport registryExport("OEAccounts.reg", "Software\\X", WorkFolder());
    const std::string folder = registryExport.GetExportFolder();
    EXPECT_EQ(WorkFolder(), fs::path(folder).parent_path().string());
    EXPECT_TRUE(
        std::regex_match(fs::path(folder).filename().string(), std::regex("OL3[0-9A-F]{1,4}Temp")))
        << folder;
    struct stat st
    {
    };
    ASSERT_EQ(0, stat(folder.c_str(), &st));
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(0700u, st.st_mode & 0777);
    // Nothing else is left in the work folder: the temporary file is gone.
    EXPECT_EQ(1, std::distance(fs::directory_iterator(WorkFolder()), fs::directory_iterator()));
}

TEST_F(RegistryExportTest, WithoutAWorkFolderTheJobsWorkFolderIsUsed)
{
    const CRegistryExport registryExport("x.reg", "Software\\X");
    const fs::path workFolder = g_ProjectData.GetWorkFolder();
    EXPECT_EQ(fs::path(std::getenv("TMPDIR")).lexically_normal(),
              workFolder.parent_path().lexically_normal());
    EXPECT_EQ(workFolder.lexically_normal(),
              fs::path(registryExport.GetExportFolder()).parent_path().lexically_normal());
    EXPECT_EQ(0u, registryExport.GetTagCount());
    fs::remove(registryExport.GetExportFolder());
}

TEST_F(RegistryExportTest, AMissingKeyGivesAnEmptyPathAndNoFile)
{
    CRegistryExport registryExport("OEAccounts.reg", "Software\\Nobody", WorkFolder());
    EXPECT_EQ("", registryExport.WriteRegistryFileToTemp());
    EXPECT_FALSE(fs::exists(registryExport.GetExportFolder() + "/OEAccounts.reg"));
}

TEST_F(RegistryExportTest, WritesAnAnsiFileStartingWithRegedit4)
{
    FillAccounts();
    CRegistryExport registryExport("OEAccounts.reg",
                                   "Software\\Microsoft\\Internet Account Manager", WorkFolder());
    const std::string path = registryExport.WriteRegistryFileToTemp();
    ASSERT_EQ(registryExport.GetExportFolder() + "/OEAccounts.reg", path);
    const std::string text = ReadFileBytes(path);
    EXPECT_EQ(0u, text.find("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet "
                            "Account Manager]\r\n@=\"default\"\r\n"))
        << text;
    // CR LF everywhere, no byte-order mark, no UTF-16, the text in UTF-8.
    EXPECT_EQ(std::string::npos, text.find('\0'));
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
        EXPECT_EQ('\r', text[at - 1]) << "a line end without CR at " << at;
    EXPECT_NE(std::string::npos,
              text.find("\"Account Name\"=\"Mail \\\"Home\\\" \xC3\x84rger\"\r\n"));
    // The temporary file of the header pass is gone.
    EXPECT_FALSE(fs::exists(registryExport.GetExportFolder() + "/TBMtemp12.reg"));

    const std::string command = g_Globals.GetProgramPath("regedit") + " -e " + path +
                                " \"HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Account "
                                "Manager\"";
    EXPECT_TRUE(Logged("WriteRegistryFileToTemp Function = " + command));
    EXPECT_TRUE(Logged("Wait for Write Registry Function to write : " + command));
    EXPECT_TRUE(Logged("Convert Registry File to ANSI " + path));
    EXPECT_TRUE(Logged("Covernt Windows Registry To REGEDIT: " + path));
}

TEST_F(RegistryExportTest, ExportedNormalisedAndImportedGivesTheSameKeys)
{
    FillAccounts();
    const std::string key = "Software\\Microsoft\\Internet Account Manager";
    const std::vector<TvRegKeyContent> before = ReadKeys(key);
    CRegistryExport registryExport("OEAccounts.reg", key, WorkFolder());
    const std::string path = registryExport.WriteRegistryFileToTemp();
    ASSERT_FALSE(path.empty());

    UseRegistry(m_dir / "empty.sqlite");
    CRegistryImport registryImport(WorkFolder());
    ASSERT_TRUE(registryImport.ImportRegistryFile(path));
    EXPECT_EQ(before, ReadKeys(key));
}

TEST_F(RegistryExportTest, AnEditorThatCannotStartLeavesThePathAndNoFile)
{
    SetText("Software\\X", "v", "1");
    const std::string programFolder = g_Globals.GetProgramFolder();
    g_Globals.SetProgramFolder(m_dir / "no editor here");
    CRegistryExport registryExport("x.reg", "Software\\X", WorkFolder());
    const std::string path = registryExport.WriteRegistryFileToTemp();
    g_Globals.SetProgramFolder(programFolder);
    EXPECT_EQ(registryExport.GetExportFolder() + "/x.reg", path);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(Logged("Cant Start Regedit Porcess"));
}

TEST_F(RegistryExportTest, AnAnsiFilePassesTheHeaderPassUnchanged)
{
    const CRegistryExport registryExport("x.reg", "Software\\X", WorkFolder());
    const std::string path = registryExport.GetExportFolder() + "/x.reg";
    const std::string ansi =
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\X]\r\n\"v\"=\"caf\xE9\"\r\n\r\n";
    WriteFileBytes(path, ansi);
    registryExport.ConvertRegistryFileToAnsi(path);
    EXPECT_EQ(ansi, ReadFileBytes(path));
    EXPECT_FALSE(Logged("Covernt Windows Registry To REGEDIT: " + path));
}

TEST_F(RegistryExportTest, AFileThatCannotBeReadIsReported)
{
    tbmtest::CScriptedPrompt prompt;
    const CRegistryExport registryExport("x.reg", "Software\\X", WorkFolder());
    const std::string path = registryExport.GetExportFolder() + "/missing.reg";
    registryExport.ConvertRegistryFileToAnsi(path);
    ASSERT_EQ(1u, prompt.Messages().size());
    EXPECT_EQ("Fail to open file Unicode file", prompt.Messages()[0].text);
    EXPECT_TRUE(Logged("Fail  Open File : " + path));
    EXPECT_FALSE(fs::exists(path));
}
