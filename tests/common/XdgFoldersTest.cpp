#include "XdgFolders.h"
#include "Globals.h"

#include "XdgFoldersTestEnv.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

struct FolderCase
{
    int id;
    const char* path; // below the test folder
    bool isPrivate;   // created with mode 0700
};

class SpecialFolderTest : public tbmtest::XdgFoldersTestBase,
                          public ::testing::WithParamInterface<FolderCase>
{
protected:
    std::string Expected() const { return m_dir / GetParam().path; }
};

TEST_P(SpecialFolderTest, WithoutCreateFlagOnlyNamesTheFolder)
{
    EXPECT_EQ(Expected(), CXdgFolders::GetFolder(GetParam().id));
    if (GetParam().id != CSIDL_PROFILE) {
        EXPECT_FALSE(fs::exists(Expected()));
    }
}

TEST_P(SpecialFolderTest, WithCreateFlagTheFolderExists)
{
    EXPECT_EQ(Expected(), CXdgFolders::GetFolder(GetParam().id | CSIDL_FLAG_CREATE));
    struct stat st
    {
    };
    ASSERT_EQ(0, stat(Expected().c_str(), &st));
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    if (GetParam().isPrivate && GetParam().id != CSIDL_PROFILE) {
        EXPECT_EQ(0700u, st.st_mode & 0777);
    }
    // Asking again finds the folder that is there.
    EXPECT_EQ(Expected(), CXdgFolders::GetFolder(GetParam().id | CSIDL_FLAG_CREATE));
}

INSTANTIATE_TEST_SUITE_P(
    EveryNumber, SpecialFolderTest,
    ::testing::Values(FolderCase{CSIDL_DESKTOP, "home/Desktop", false},
                      FolderCase{CSIDL_PERSONAL, "home/Documents", false},
                      FolderCase{CSIDL_FAVORITES, "data/TBManager/Favorites", true},
                      FolderCase{CSIDL_STARTUP, "config/autostart", true},
                      FolderCase{CSIDL_RECENT, "data/TBManager/Recent", true},
                      FolderCase{CSIDL_STARTMENU, "data/applications", true},
                      FolderCase{CSIDL_MYMUSIC, "home/Music", false},
                      FolderCase{CSIDL_MYVIDEO, "home/Videos", false},
                      FolderCase{CSIDL_DESKTOPDIRECTORY, "home/Desktop", false},
                      FolderCase{CSIDL_FONTS, "data/fonts", true},
                      FolderCase{CSIDL_TEMPLATES, "home/Templates", false},
                      FolderCase{CSIDL_APPDATA, "config", true},
                      FolderCase{CSIDL_LOCAL_APPDATA, "data", true},
                      FolderCase{CSIDL_INTERNET_CACHE, "cache", true},
                      FolderCase{CSIDL_COOKIES, "data/TBManager/Cookies", true},
                      FolderCase{CSIDL_HISTORY, "data/TBManager/History", true},
                      FolderCase{CSIDL_COMMON_APPDATA, "etc-xdg", false},
                      FolderCase{CSIDL_MYPICTURES, "home/Pictures", false},
                      FolderCase{CSIDL_PROFILE, "home", true}));

class XdgFoldersTest : public tbmtest::XdgFoldersTestBase
{
};

TEST_F(XdgFoldersTest, UnknownNumbersGiveEmpty)
{
    for (int id : {1, 2, 3, 4, 9, 10, 12, 15, 17, 36, 38, 41, 100, 0x7FFF, -1})
        EXPECT_EQ("", CXdgFolders::GetFolder(id | CSIDL_FLAG_CREATE)) << id;
}

TEST_F(XdgFoldersTest, UnsetOrRelativeVariablesFallBackBelowHome)
{
    unsetenv("XDG_CONFIG_HOME");
    Set("XDG_DATA_HOME", "relative/data");
    Set("XDG_CACHE_HOME", "");
    EXPECT_EQ(Home() + "/.config", CXdgFolders::GetFolder(CSIDL_APPDATA));
    EXPECT_EQ(Home() + "/.local/share", CXdgFolders::GetFolder(CSIDL_LOCAL_APPDATA));
    EXPECT_EQ(Home() + "/.cache", CXdgFolders::GetFolder(CSIDL_INTERNET_CACHE));
    Set("XDG_CONFIG_DIRS", "relative:/x");
    EXPECT_EQ("/etc/xdg", CXdgFolders::GetFolder(CSIDL_COMMON_APPDATA));
}

TEST_F(XdgFoldersTest, UserDirsFileMovesTheUserFolders)
{
    fs::create_directories(Config());
    tbmtest::WriteFileBytes(Config() + "/user-dirs.dirs",
                            "# written by xdg-user-dirs-update\n"
                            "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n"
                            "XDG_MUSIC_DIR=\"" +
                                m_dir / "elsewhere/Musik" +
                                "\"\n"
                                "XDG_PICTURES_DIR=\"relative/ignored\"\n"
                                "\x01\x02 garbage \xFF\n");
    EXPECT_EQ(Home() + "/Dokumente", CXdgFolders::GetFolder(CSIDL_PERSONAL));
    EXPECT_EQ(m_dir / "elsewhere/Musik", CXdgFolders::GetFolder(CSIDL_MYMUSIC | CSIDL_FLAG_CREATE));
    EXPECT_TRUE(fs::is_directory(m_dir / "elsewhere/Musik"));
    EXPECT_EQ(Home() + "/Pictures", CXdgFolders::GetFolder(CSIDL_MYPICTURES));
    EXPECT_EQ(Home() + "/Desktop", CXdgFolders::GetFolder(CSIDL_DESKTOP));
}

TEST_F(XdgFoldersTest, FolderThatCannotBeCreatedGivesEmpty)
{
    tbmtest::WriteFileBytes(Data(), "a file where the data folder should be");
    EXPECT_EQ("", CXdgFolders::GetFolder(CSIDL_FAVORITES | CSIDL_FLAG_CREATE));
    EXPECT_EQ(Data() + "/TBManager/Favorites", CXdgFolders::GetFolder(CSIDL_FAVORITES));
}

TEST_F(XdgFoldersTest, GlobalsCreateEveryFolderButTheDesktop)
{
    const CGlobals globals;
    EXPECT_EQ(Home() + "/Desktop", globals.GetSpecialFolder(CSIDL_DESKTOP));
    EXPECT_FALSE(fs::exists(Home() + "/Desktop"));
    EXPECT_EQ(Home() + "/Documents", globals.GetSpecialFolder(CSIDL_PERSONAL));
    EXPECT_TRUE(fs::is_directory(Home() + "/Documents"));
    EXPECT_EQ(Config(), globals.GetSpecialFolder(CSIDL_APPDATA | CSIDL_FLAG_CREATE));
    EXPECT_TRUE(fs::is_directory(Config()));
    EXPECT_EQ("", globals.GetSpecialFolder(77));
}

} // namespace
