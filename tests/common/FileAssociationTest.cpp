#include "FileAssociation.h"
#include "Preferences.h"
#include "Registry.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

using tbmtest::ReadFileBytes;
using tbmtest::WriteFileBytes;

namespace {

std::string ReadDefault(const std::string& key, const char* name = "")
{
    CRegistry reg(HKEY_CLASSES_ROOT);
    std::string value = "<missing>";
    if (reg.VerifyKey(HKEY_CLASSES_ROOT, key, KEY_READ))
        reg.Read(name, value);
    return value;
}

void SetDefault(const std::string& key, const std::string& value)
{
    CRegistry reg(HKEY_CLASSES_ROOT);
    ASSERT_TRUE(reg.CreateKey(HKEY_CLASSES_ROOT, key));
    ASSERT_TRUE(reg.Write("", value));
}

std::string DataHome()
{
    return std::getenv("XDG_DATA_HOME");
}

// Puts fake update-mime-database and update-desktop-database first on PATH; each
// records its arguments in a file of the test folder.
class FileAssociationTest : public tbmtest::TempDirTest
{
protected:
    void SetUp() override
    {
        m_savedPath = std::getenv("PATH");
        for (const char* tool : {"update-mime-database", "update-desktop-database"}) {
            const std::string script = m_dir / tool;
            WriteFileBytes(script, "#!/bin/sh\necho \"$@\" >> '" + (m_dir / "calls") + "'\n");
            chmod(script.c_str(), 0755);
        }
        setenv("PATH", (m_dir.Str() + ":" + m_savedPath).c_str(), 1);
    }
    void TearDown() override { setenv("PATH", m_savedPath.c_str(), 1); }

    std::string Calls() { return ReadFileBytes(m_dir / "calls"); }

    std::string m_savedPath;
};

} // namespace

TEST_F(FileAssociationTest, FreshRegistrationWritesKeysAndDesktopFiles)
{
    CFileAssociation("/opt/tbm/TBManager").Register();
    EXPECT_EQ("TBMFile", ReadDefault(".tbm"));
    EXPECT_EQ("<missing>", ReadDefault(".tbm", "Old"));
    EXPECT_EQ("", ReadDefault("TBMFile"));
    EXPECT_EQ("/opt/tbm/TBManager,0", ReadDefault("TBMFile\\DefaultIcon"));
    EXPECT_EQ("/opt/tbm/TBManager %1", ReadDefault("TBMFile\\shell\\open\\Command"));

    const std::string mime = ReadFileBytes(CFileAssociation::MimePackagePath());
    EXPECT_NE(std::string::npos, mime.find("<glob pattern=\"*.tbm\"/>"));
    EXPECT_NE(std::string::npos, mime.find(CFileAssociation::kMimeType));
    const std::string entry = ReadFileBytes(CFileAssociation::DesktopEntryPath());
    EXPECT_NE(std::string::npos, entry.find("Exec=\"/opt/tbm/TBManager\" %f\n"));
    EXPECT_NE(std::string::npos, entry.find("MimeType=application/x-tbmanager-backup;\n"));
    EXPECT_EQ(DataHome() + "/mime\n" + DataHome() + "/applications\n", Calls());
}

TEST_F(FileAssociationTest, AnotherProgramsExtensionMovesToOldAndExistingClassStays)
{
    SetDefault(".tbm", "OtherApp.Backup");
    SetDefault("TBMFile\\shell\\open\\Command", "/usr/bin/other %1");
    CFileAssociation("/opt/tbm/TBManager").Register();
    EXPECT_EQ("TBMFile", ReadDefault(".tbm"));
    EXPECT_EQ("OtherApp.Backup", ReadDefault(".tbm", "Old"));
    EXPECT_EQ("/usr/bin/other %1", ReadDefault("TBMFile\\shell\\open\\Command"));

    // A second registration changes nothing and keeps "Old".
    CFileAssociation("/opt/tbm/TBManager").Register();
    EXPECT_EQ("OtherApp.Backup", ReadDefault(".tbm", "Old"));
}

TEST_F(FileAssociationTest, DesktopEntryQuotesAwkwardProgramPaths)
{
    const std::string text = CFileAssociation::DesktopEntryText("/opt/my tbm/$x\"y`z\\w");
    EXPECT_NE(std::string::npos, text.find("Exec=\"/opt/my tbm/\\$x\\\"y\\`z\\\\w\" %f\n"));
}

TEST_F(FileAssociationTest, StartUpRegistersOnlyWhenRegExtIsSet)
{
    CPreferences prefs;
    prefs.Load();
    prefs.m_strModuleExePath = "/opt/tbm/TBManager";
    prefs.m_nReg_Ext = 0;
    prefs.RegisterFileTypeAtStart();
    EXPECT_EQ("<missing>", ReadDefault(".tbm"));
    EXPECT_FALSE(std::filesystem::exists(CFileAssociation::DesktopEntryPath()));

    prefs.m_nReg_Ext = 1;
    prefs.RegisterFileTypeAtStart();
    EXPECT_EQ("TBMFile", ReadDefault(".tbm"));
}

TEST_F(FileAssociationTest, MissingDesktopToolsAreNotAnError)
{
    setenv("PATH", (m_dir / "empty").c_str(), 1);
    CFileAssociation("/opt/tbm/TBManager").Register();
    EXPECT_EQ("TBMFile", ReadDefault(".tbm"));
    EXPECT_TRUE(std::filesystem::exists(CFileAssociation::DesktopEntryPath()));
}
