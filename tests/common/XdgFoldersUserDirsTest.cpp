#include "UserDirs.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct UserDirsCase
{
    std::string text;
    const char* expected; // value of XDG_X, or nullptr when the line is skipped
};

class ParseUserDirsTest : public ::testing::TestWithParam<UserDirsCase>
{
};

TEST_P(ParseUserDirsTest, ReadsWellFormedLinesAndSkipsTheRest)
{
    const auto dirs = ParseUserDirs(GetParam().text, "/home/u");
    const auto found = dirs.find("XDG_X");
    if (GetParam().expected) {
        ASSERT_NE(dirs.end(), found) << GetParam().text;
        EXPECT_EQ(GetParam().expected, found->second) << GetParam().text;
    } else {
        EXPECT_EQ(dirs.end(), found) << GetParam().text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ParseUserDirsTest,
    ::testing::Values(
        UserDirsCase{"XDG_X=\"$HOME/Docs\"", "/home/u/Docs"},
        UserDirsCase{"XDG_X=\"${HOME}/Docs\"", "/home/u/Docs"},
        UserDirsCase{"XDG_X=\"/srv/shared docs\"", "/srv/shared docs"},
        UserDirsCase{"  XDG_X = \"$HOME/Mu sic\"  # comment", "/home/u/Mu sic"},
        UserDirsCase{"XDG_X=\"$HOME\"", "/home/u"}, UserDirsCase{"XDG_X=\"$HOME/\"", "/home/u"},
        UserDirsCase{"XDG_X=\"$HOME/a//\"", "/home/u/a"},
        UserDirsCase{"XDG_X=\"/a\\\"b\\\\c\"", "/a\"b\\c"},
        UserDirsCase{"XDG_X=$HOME/unquoted", "/home/u/unquoted"},
        UserDirsCase{"XDG_X=\"/crlf\"\r", "/crlf"},
        UserDirsCase{"XDG_X=\"/first\"\nXDG_X=\"/second\"", "/second"},
        UserDirsCase{"XDG_X=\"/kept\"\nXDG_X=\"broken", "/kept"},
        UserDirsCase{"XDG_X=\"relative/x\"", nullptr}, UserDirsCase{"XDG_X=\"$HOMEX/x\"", nullptr},
        UserDirsCase{"XDG_X=\"~/x\"", nullptr}, UserDirsCase{"XDG_X=\"unterminated", nullptr},
        UserDirsCase{"XDG_X=\"/a\" trailing", nullptr}, UserDirsCase{"XDG_X=\"/a\\", nullptr},
        UserDirsCase{"XDG_X=", nullptr}, UserDirsCase{"# XDG_X=\"$HOME/c\"", nullptr},
        UserDirsCase{"XDG_X", nullptr}, UserDirsCase{"=\"/no/key\"", nullptr},
        UserDirsCase{std::string("XDG_X=\"/a\0b\"", 12), nullptr},
        UserDirsCase{"\xFF\xFE garbage \x01", nullptr}, UserDirsCase{"", nullptr}));

TEST(ParseUserDirsFileTest, ReadsEveryKeyOfATypicalFile)
{
    const auto dirs = ParseUserDirs("# This file is written by xdg-user-dirs-update\n"
                                    "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                                    "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n"
                                    "XDG_MUSIC_DIR=\"/mnt/music\"\n",
                                    "/home/u");
    EXPECT_EQ(3u, dirs.size());
    EXPECT_EQ("/home/u/Desktop", dirs.at("XDG_DESKTOP_DIR"));
    EXPECT_EQ("/home/u/Documents", dirs.at("XDG_DOCUMENTS_DIR"));
    EXPECT_EQ("/mnt/music", dirs.at("XDG_MUSIC_DIR"));
}

} // namespace
