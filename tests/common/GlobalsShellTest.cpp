#include "Globals.h"
#include "ModulePath.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

namespace {

TEST(ProgramFolderTest, DefaultsToTheRunningProgramsFolder)
{
    const CGlobals globals;
    EXPECT_EQ(TvGetModuleFolder(), globals.GetProgramFolder());
    EXPECT_EQ(TvGetModuleFolder() + "/TextRes.so", globals.GetResourceLibraryPath());
}

TEST(ProgramFolderTest, SetFolderGivesPathsBelowIt)
{
    CGlobals globals;
    globals.SetProgramFolder("/opt/tbm");
    EXPECT_EQ("/opt/tbm", globals.GetProgramFolder());
    EXPECT_EQ("/opt/tbm/TextRes.so", globals.GetResourceLibraryPath());
    EXPECT_EQ("/opt/tbm/regedit", globals.GetProgramPath("regedit"));
    EXPECT_EQ("/opt/tbm/", globals.GetProgramPath(""));
    globals.SetProgramFolder("/");
    EXPECT_EQ("/regedit", globals.GetProgramPath("regedit"));
}

TEST(PlatformFlagsTest, NoWindowsFamilyOnLinux)
{
    const CGlobals globals;
    EXPECT_FALSE(globals.m_bNTBefore5 || globals.m_bNT || globals.m_bNT5OrLater ||
                 globals.m_bWin9x || globals.m_bWinMe);
}

TEST(BrowseForFolderTest, AsksTheInstalledPickerOrGivesEmpty)
{
    CGlobals globals;
    EXPECT_EQ("", globals.BrowseForFolder("Pick"));
    std::string asked;
    globals.SetFolderPicker([&](const std::string& title) {
        asked = title;
        return std::string("/chosen");
    });
    EXPECT_EQ("/chosen", globals.BrowseForFolder("Pick a folder"));
    EXPECT_EQ("Pick a folder", asked);
}

class LoadResourceTextTest : public tbmtest::TempDirTest
{
protected:
    CGlobals m_globals;
};

TEST_F(LoadResourceTextTest, AnyFailureGivesEmptyText)
{
    m_globals.SetProgramFolder(m_dir.Str());
    EXPECT_EQ("", m_globals.LoadResourceText(m_dir / "missing.so", "Backup.htm", "RT_HTML"));
    EXPECT_EQ("", m_globals.LoadResourceText("PageRes.so", "Backup.htm", "RT_HTML"));
    EXPECT_EQ("", m_globals.LoadResourceText("", "Backup.htm", "RT_HTML"));
    tbmtest::WriteFileBytes(m_dir / "PageRes.so", "not a shared object");
    EXPECT_EQ("", m_globals.LoadResourceText("PageRes.so", "Backup.htm", "RT_HTML"));
}

// The opener is a script that records its arguments, one a line.
class OpenTest : public tbmtest::TempDirTest
{
protected:
    void SetUp() override
    {
        tbmtest::WriteFileBytes(m_script, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.tmp\"\n"
                                          "mv \"$0.tmp\" \"$0.args\"\n");
        ASSERT_EQ(0, chmod(m_script.c_str(), 0700));
        m_globals.SetOpenCommand(m_script);
        m_globals.SetLogHook([this](const std::string& line) { m_log.push_back(line); });
    }

    // The opener runs in the background; its record appears when it has finished.
    std::string RecordedArguments()
    {
        const std::string record = m_script + ".args";
        for (int i = 0; i < 6000 && !fs::exists(record); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::string arguments = tbmtest::ReadFileBytes(record);
        fs::remove(record);
        return arguments;
    }

    const std::string m_script = m_dir / "opener";
    CGlobals m_globals;
    std::vector<std::string> m_log;
};

TEST_F(OpenTest, OpenDocumentPassesTheAddressAsOneArgument)
{
    EXPECT_TRUE(m_globals.OpenDocument("https://example.org/a b?x=1&y='2'", true));
    EXPECT_EQ("https://example.org/a b?x=1&y='2'\n", RecordedArguments());
    EXPECT_TRUE(m_globals.OpenDocument("/home/u/report.html", false));
    EXPECT_EQ("/home/u/report.html\n", RecordedArguments());
    EXPECT_TRUE(m_globals.OpenDocument("-v", true)); // never an option of the opener
    EXPECT_EQ("./-v\n", RecordedArguments());
    EXPECT_TRUE(m_log.empty());
}

TEST_F(OpenTest, OpenFolderDropsTheFileNameOnlyWhenThereIsAnExtension)
{
    EXPECT_TRUE(m_globals.OpenFolder("/data/backups/x.tbm"));
    EXPECT_EQ("/data/backups\n", RecordedArguments());
    EXPECT_TRUE(m_globals.OpenFolder("/data/backups"));
    EXPECT_EQ("/data/backups\n", RecordedArguments());
    EXPECT_TRUE(m_globals.OpenFolder("/x.tbm"));
    EXPECT_EQ("/\n", RecordedArguments());
}

TEST_F(OpenTest, EnvironmentNamesTheOpenerWhenNoneIsSet)
{
    m_globals.SetOpenCommand("");
    setenv("TBM_OPEN_COMMAND", m_script.c_str(), 1);
    const bool opened = m_globals.OpenDocument("file.html", true);
    unsetenv("TBM_OPEN_COMMAND");
    EXPECT_TRUE(opened);
    EXPECT_EQ("file.html\n", RecordedArguments());
}

TEST_F(OpenTest, OpenerThatCannotStartIsLoggedForTheBrowserWindow)
{
    m_globals.SetOpenCommand(m_dir / "missing-opener");
    EXPECT_FALSE(m_globals.OpenDocument("https://example.org", true));
    EXPECT_TRUE(m_log.empty());
    EXPECT_FALSE(m_globals.OpenDocument("https://example.org", false));
    EXPECT_EQ((std::vector<std::string>{"Failed to get IWebBrowser2 interface. HRESULT",
                                        "Line number : 1958 File : Globals"}),
              m_log);
    EXPECT_FALSE(m_globals.OpenFolder(m_dir.Str()));
}

} // namespace
