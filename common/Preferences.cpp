#include "Preferences.h"

#include "FileAssociation.h"
#include "ModulePath.h"
#include "Registry.h"

#include <array>
#include <variant>

CPreferences g_Preferences;

namespace {

const char kAppPathKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TBManager.exe";
const char kMainKey[] = "SOFTWARE\\Tovan-Soft\\TBManager\\Main";
const char kPreferencesKey[] = "SOFTWARE\\Tovan-Soft\\TBManager\\Preferences";
const char kScheduleKey[] = "SOFTWARE\\Tovan-Soft\\TBManager\\Schedule";

// One "Main" value: its name and the member that holds it.
struct MainValue
{
    const char* name;
    std::variant<int CPreferences::*, std::string CPreferences::*> member;
};

// The "Main" values in the order they are written; reading skips the first two,
// the program location comes from the application-path key instead.
const std::array<MainValue, 20> kMainValues = {{
    {"Module Path", &CPreferences::m_strModulePath},
    {"Module EXE Path", &CPreferences::m_strModuleExePath},
    {"Position x1", &CPreferences::m_nPosX1},
    {"Position y1", &CPreferences::m_nPosY1},
    {"Position x2", &CPreferences::m_nPosX2},
    {"Position y2", &CPreferences::m_nPosY2},
    {"Priority", &CPreferences::m_nPriority},
    {"ComLevel", &CPreferences::m_nComLevel},
    {"SmaLevel", &CPreferences::m_nSmaLevel},
    {"TempLevel", &CPreferences::m_strTempLevel},
    {"ResFileType", &CPreferences::m_nResFileType},
    {"ResLocationType", &CPreferences::m_nResLocationType},
    {"ResLocation", &CPreferences::m_strResLocation},
    {"R_O2_Rename", &CPreferences::m_nR_O2_Rename},
    {"R_Wab_Save", &CPreferences::m_nR_Wab_Save},
    {"BComplete", &CPreferences::m_nBComplete},
    {"Quitb", &CPreferences::m_nQuitb},
    {"WData", &CPreferences::m_nWData},
    {"Reg_Ext", &CPreferences::m_nReg_Ext},
    {"ShowCDRW", &CPreferences::m_nShowCDRW},
}};
constexpr std::size_t kFirstReadValue = 2;

std::string FolderOf(const std::string& file)
{
    const auto slash = file.rfind('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? std::string("/") : file.substr(0, slash);
}

} // namespace

CPreferences::CPreferences()
    : m_strAppPathKey(kAppPathKey), m_strMainKey(kMainKey), m_strPreferencesKey(kPreferencesKey),
      m_strScheduleKey(kScheduleKey)
{
    SetDefaults();
}

void CPreferences::SetDefaults()
{
    m_nPosX1 = 60;
    m_nPosY1 = 60;
    m_nPosX2 = 640;
    m_nPosY2 = 480;
    m_nPriority = 0;
    m_nComLevel = 6;
    m_nSmaLevel = 1;
    m_strTempLevel.clear();
    m_nResFileType = 0;
    m_nResLocationType = 0;
    // The root of the file system, as the system drive's root is on Windows.
    m_strResLocation = "/";
    m_nR_O2_Rename = 1;
    m_nR_Wab_Save = 1;
    m_nBComplete = 1;
    m_nQuitb = 0;
    m_nWData = 0;
    m_nReg_Ext = 1;
    m_nShowCDRW = 1;
}

void CPreferences::SetScreenSizeProvider(ScreenSizeProvider provider)
{
    m_screenSize = std::move(provider);
}

bool CPreferences::Load()
{
    LoadProgramLocation();
    LoadMainKey();
    TouchPreferencesKey();
    CheckWindowPosition();
    return true;
}

void CPreferences::LoadProgramLocation()
{
    CRegistry reg(HKEY_LOCAL_MACHINE);
    std::string folder, file;
    if (reg.VerifyKey(HKEY_LOCAL_MACHINE, m_strAppPathKey, KEY_READ) && reg.Read("Path", folder) &&
        reg.Read("", file)) {
        m_strModulePath = folder;
        m_strModuleExePath = file;
        return;
    }
    m_strModuleExePath = TvGetModuleFileName();
    m_strModulePath = FolderOf(m_strModuleExePath);
}

void CPreferences::LoadMainKey()
{
    {
        CRegistry reg(HKEY_CURRENT_USER);
        if (!reg.VerifyKey(HKEY_CURRENT_USER, m_strMainKey, KEY_ALL_ACCESS)) {
            if (!reg.CreateKey(HKEY_CURRENT_USER, m_strMainKey))
                return; // no store: run on the defaults
            SetDefaults();
            reg.Close();
            WriteMainValues();
            return;
        }
    }
    // All or nothing: one bad value resets everything; the second read is final.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (ReadMainValues())
            return;
        SetDefaults();
        WriteMainValues();
    }
}

bool CPreferences::ReadMainValues()
{
    CRegistry reg(HKEY_CURRENT_USER);
    if (!reg.VerifyKey(HKEY_CURRENT_USER, m_strMainKey, KEY_ALL_ACCESS))
        return false;
    for (std::size_t i = kFirstReadValue; i < kMainValues.size(); ++i) {
        const MainValue& value = kMainValues[i];
        const bool ok = std::visit([&](auto member) { return reg.Read(value.name, this->*member); },
                                   value.member);
        if (!ok)
            return false;
    }
    return true;
}

void CPreferences::WriteMainValues()
{
    CRegistry reg(HKEY_CURRENT_USER);
    if (!reg.VerifyKey(HKEY_CURRENT_USER, m_strMainKey, KEY_ALL_ACCESS))
        return;
    for (const MainValue& value : kMainValues)
        std::visit([&](auto member) { reg.Write(value.name, this->*member); }, value.member);
}

void CPreferences::Save()
{
    WriteMainValues();
    // The "Preferences" key holds no values; saving only opens it when it is there.
    CRegistry reg(HKEY_CURRENT_USER);
    reg.VerifyKey(HKEY_CURRENT_USER, m_strPreferencesKey, KEY_ALL_ACCESS);
}

void CPreferences::TouchPreferencesKey()
{
    CRegistry reg(HKEY_CURRENT_USER);
    if (!reg.VerifyKey(HKEY_CURRENT_USER, m_strPreferencesKey, KEY_ALL_ACCESS))
        reg.CreateKey(HKEY_CURRENT_USER, m_strPreferencesKey);
}

void CPreferences::CheckWindowPosition()
{
    int width = 0, height = 0;
    if (!m_screenSize || !m_screenSize(width, height))
        return;
    bool moved = false;
    if (m_nPosX1 > width - 40 || m_nPosX1 < 0) {
        m_nPosX1 = 50;
        moved = true;
    }
    if (m_nPosY1 > height - 40 || m_nPosY1 < 0) {
        m_nPosY1 = 50;
        moved = true;
    }
    if (moved)
        Save();
}

void CPreferences::RegisterFileType()
{
    CFileAssociation(m_strModuleExePath).Register();
}

void CPreferences::RegisterFileTypeAtStart()
{
    if (m_nReg_Ext)
        RegisterFileType();
}
