#include "ExpandEnvironment.h"

#include "XdgFoldersTestEnv.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class ExpandEnvironmentTest : public tbmtest::XdgFoldersTestBase
{
protected:
    void SetUp() override
    {
        Set("TMPDIR", m_dir / "tmp");
        Set("TBM_TEST_VALUE", "value");
        Set("TBM_TEST_EMPTY", "");
    }
    std::string Tmp() const { return m_dir / "tmp"; }
};

TEST_F(ExpandEnvironmentTest, WindowsFolderVariablesMapToTheirLinuxPlaces)
{
    EXPECT_EQ(Home() + "\\Favorites", ExpandEnvironmentStrings("%UserProfile%\\Favorites"));
    EXPECT_EQ(Home(), ExpandEnvironmentStrings("%USERPROFILE%"));
    EXPECT_EQ(Config() + "/Microsoft", ExpandEnvironmentStrings("%AppData%/Microsoft"));
    EXPECT_EQ(Data(), ExpandEnvironmentStrings("%localappdata%"));
    EXPECT_EQ(Tmp(), ExpandEnvironmentStrings("%Temp%"));
    EXPECT_EQ(Tmp(), ExpandEnvironmentStrings("%TMP%"));
    EXPECT_EQ(Home() + "/x", ExpandEnvironmentStrings("%HomeDrive%%HomePath%/x"));
}

TEST_F(ExpandEnvironmentTest, OtherNamesComeFromTheEnvironment)
{
    EXPECT_EQ("a value b", ExpandEnvironmentStrings("a %TBM_TEST_VALUE% b"));
    EXPECT_EQ("value", ExpandEnvironmentStrings("%tbm_test_value%"));
    EXPECT_EQ("[]", ExpandEnvironmentStrings("[%TBM_TEST_EMPTY%]"));
    EXPECT_EQ("valuevalue", ExpandEnvironmentStrings("%TBM_TEST_VALUE%%TBM_TEST_VALUE%"));
}

struct UnchangedCase
{
    const char* text;
};

class ExpandUnchangedTest : public ::testing::TestWithParam<const char*>
{
};

TEST_P(ExpandUnchangedTest, TextWithoutKnownNamesStaysAsItIs)
{
    EXPECT_EQ(GetParam(), ExpandEnvironmentStrings(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Texts, ExpandUnchangedTest,
                         ::testing::Values("", "plain text", "100%", "%%", "100%% sure",
                                           "%TBM_NO_SUCH_VARIABLE%", "%TBM_NO_SUCH%x%", "%PATH=x%",
                                           "a%b", "%"));

TEST_F(ExpandEnvironmentTest, ClosingPercentOfAnUnknownNameMayOpenTheNext)
{
    EXPECT_EQ("50% of " + Tmp(), ExpandEnvironmentStrings("50% of %Temp%"));
    EXPECT_EQ("%TBM_NO_SUCH%value", ExpandEnvironmentStrings("%TBM_NO_SUCH%%TBM_TEST_VALUE%"));
}

} // namespace
