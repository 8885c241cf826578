#include "Preferences.h"
#include "FileAssociation.h"
#include "Registry.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

namespace {

const char kMain[] = "SOFTWARE\\Tovan-Soft\\TBManager\\Main";

int ReadInt(const char* name)
{
    CRegistry reg(HKEY_CURRENT_USER);
    int value = -12345;
    if (reg.VerifyKey(HKEY_CURRENT_USER, kMain, KEY_ALL_ACCESS))
        reg.Read(name, value);
    return value;
}

std::string ReadText(HKEY root, const std::string& key, const char* name)
{
    CRegistry reg(root);
    std::string value = "<missing>";
    if (reg.VerifyKey(root, key, KEY_ALL_ACCESS))
        reg.Read(name, value);
    return value;
}

template <typename T> void WriteMain(const char* name, const T& value)
{
    CRegistry reg(HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.VerifyKey(HKEY_CURRENT_USER, kMain, KEY_ALL_ACCESS));
    ASSERT_TRUE(reg.Write(name, value));
}

void DeleteMainValue(const char* name)
{
    CRegistry reg(HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.VerifyKey(HKEY_CURRENT_USER, kMain, KEY_ALL_ACCESS));
    ASSERT_TRUE(reg.DeleteValue(name));
}

bool KeyExists(HKEY root, const std::string& key)
{
    CRegistry reg(root);
    return reg.VerifyKey(root, key, KEY_READ);
}

// A first load writes the defaults, so later tests can change single values.
CPreferences LoadedPreferences()
{
    CPreferences prefs;
    EXPECT_TRUE(prefs.Load());
    return prefs;
}

} // namespace

TEST(PreferencesTest, FirstRunWritesEveryDefaultAndCreatesPreferencesKey)
{
    CPreferences prefs = LoadedPreferences();
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "SOFTWARE\\Tovan-Soft\\TBManager\\Preferences"));
    const std::pair<const char*, int> ints[] = {
        {"Position x1", 60},    {"Position y1", 60}, {"Position x2", 640}, {"Position y2", 480},
        {"Priority", 0},        {"ComLevel", 6},     {"SmaLevel", 1},      {"ResFileType", 0},
        {"ResLocationType", 0}, {"R_O2_Rename", 1},  {"R_Wab_Save", 1},    {"BComplete", 1},
        {"Quitb", 0},           {"WData", 0},        {"Reg_Ext", 1},       {"ShowCDRW", 1}};
    for (const auto& [name, value] : ints)
        EXPECT_EQ(value, ReadInt(name)) << name;
    EXPECT_EQ("/", ReadText(HKEY_CURRENT_USER, kMain, "ResLocation"));
    EXPECT_EQ("", ReadText(HKEY_CURRENT_USER, kMain, "TempLevel"));
    EXPECT_EQ(prefs.m_strModulePath, ReadText(HKEY_CURRENT_USER, kMain, "Module Path"));
    EXPECT_EQ(prefs.m_strModuleExePath, ReadText(HKEY_CURRENT_USER, kMain, "Module EXE Path"));
}

TEST(PreferencesTest, StoredValuesAreReadBack)
{
    LoadedPreferences();
    WriteMain("ResLocation", std::string("/srv/restore"));
    WriteMain("Quitb", 1);
    WriteMain("Priority", -2);
    CPreferences prefs = LoadedPreferences();
    EXPECT_EQ("/srv/restore", prefs.m_strResLocation);
    EXPECT_EQ(1, prefs.m_nQuitb);
    EXPECT_EQ(-2, prefs.m_nPriority);
}

// One missing or unreadable value resets the whole key, not just that value.
TEST(PreferencesTest, OneBadValueResetsEveryValue)
{
    struct Case
    {
        const char* what;
        void (*spoil)();
    };
    const Case cases[] = {
        {"missing ShowCDRW", [] { DeleteMainValue("ShowCDRW"); }},
        {"250-character ResLocation",
         [] { WriteMain("ResLocation", "/" + std::string(249, 'x')); }},
        {"missing Module Path is not read", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LoadedPreferences();
        WriteMain("ResLocation", std::string("/srv/restore"));
        if (c.spoil)
            c.spoil();
        else
            DeleteMainValue("Module Path");
        CPreferences prefs = LoadedPreferences();
        const std::string expected = c.spoil ? "/" : "/srv/restore";
        EXPECT_EQ(expected, prefs.m_strResLocation);
        EXPECT_EQ(expected, ReadText(HKEY_CURRENT_USER, kMain, "ResLocation"));
        EXPECT_EQ(1, ReadInt("ShowCDRW"));
    }
}

TEST(PreferencesTest, WindowPositionOffTheScreenIsMovedBackAndSaved)
{
    LoadedPreferences();
    WriteMain("Position x1", 5000);
    WriteMain("Position y1", -3);
    CPreferences prefs;
    prefs.SetScreenSizeProvider([](int& w, int& h) {
        w = 1024;
        h = 768;
        return true;
    });
    prefs.Load();
    EXPECT_EQ(50, prefs.m_nPosX1);
    EXPECT_EQ(50, prefs.m_nPosY1);
    EXPECT_EQ(50, ReadInt("Position x1"));
    EXPECT_EQ(50, ReadInt("Position y1"));
}

TEST(PreferencesTest, WindowPositionOnTheScreenOrWithoutScreenStays)
{
    LoadedPreferences();
    WriteMain("Position x1", 984); // exactly width - 40 is still on the screen
    CPreferences onScreen;
    onScreen.SetScreenSizeProvider([](int& w, int& h) {
        w = 1024;
        h = 768;
        return true;
    });
    onScreen.Load();
    EXPECT_EQ(984, onScreen.m_nPosX1);

    WriteMain("Position x1", 5000);
    CPreferences headless;
    headless.Load();
    EXPECT_EQ(5000, headless.m_nPosX1);
}

TEST(PreferencesTest, SaveWritesChangesOnlyWhileTheMainKeyExists)
{
    CPreferences prefs = LoadedPreferences();
    prefs.m_nQuitb = 1;
    prefs.Save();
    EXPECT_EQ(1, LoadedPreferences().m_nQuitb);

    CRegistry reg(HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.DeleteValueKey(HKEY_CURRENT_USER, kMain));
    prefs.Save();
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kMain));
}

TEST(PreferencesTest, ProgramLocationComesFromTheApplicationPathKey)
{
    CPreferences fallback = LoadedPreferences();
    EXPECT_FALSE(fallback.m_strModuleExePath.empty());
    EXPECT_EQ(fallback.m_strModulePath,
              std::filesystem::path(fallback.m_strModuleExePath).parent_path().string());

    CRegistry reg(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.CreateKey(HKEY_LOCAL_MACHINE,
                              "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App "
                              "Paths\\TBManager.exe"));
    ASSERT_TRUE(reg.Write("Path", std::string("/opt/tbm")));
    ASSERT_TRUE(reg.Write("", std::string("/opt/tbm/TBManager")));
    reg.Close();
    CPreferences installed = LoadedPreferences();
    EXPECT_EQ("/opt/tbm", installed.m_strModulePath);
    EXPECT_EQ("/opt/tbm/TBManager", installed.m_strModuleExePath);
}
