#pragma once

#include <functional>
#include <string>

// The user's preferences, kept in the registry store under the current user's
// "SOFTWARE\Tovan-Soft\TBManager" keys: read once at start-up into g_Preferences,
// changed in memory by the program, written back when it ends.
class CPreferences
{
public:
    CPreferences();

    // Reads the program location, the "Main" values (all or nothing: one missing or
    // unreadable value resets every value to its default) and the "Preferences" key,
    // then moves a window position that lies off the screen back onto it.
    bool Load();
    // Writes every "Main" value when the key exists.
    void Save();
    // Registers the ".tbm" file association (registry keys and the desktop's MIME
    // type and desktop entry).
    void RegisterFileType();
    // Start-up's step: registers the association only when "Reg_Ext" is non-zero.
    void RegisterFileTypeAtStart();
    // Resets every "Main" setting to its default; the program location stays.
    void SetDefaults();

    // Screen size for the window-position check; without a provider (no display)
    // the check is skipped. The GUI installs one, tests set a fixed size.
    using ScreenSizeProvider = std::function<bool(int& width, int& height)>;
    void SetScreenSizeProvider(ScreenSizeProvider provider);

    // Window position.
    int m_nPosX1;
    int m_nPosY1;
    int m_nPosX2;
    int m_nPosY2;
    // Program location: folder and full path of the program file.
    std::string m_strModulePath;
    std::string m_strModuleExePath;
    // "Main" settings.
    int m_nPriority;
    int m_nComLevel;
    int m_nSmaLevel;
    std::string m_strTempLevel;
    int m_nResFileType;
    int m_nResLocationType;
    std::string m_strResLocation;
    int m_nR_O2_Rename;
    int m_nR_Wab_Save;
    int m_nBComplete;
    int m_nQuitb;
    int m_nWData;
    int m_nReg_Ext;
    int m_nShowCDRW;
    // Key paths.
    std::string m_strAppPathKey;
    std::string m_strMainKey;
    std::string m_strPreferencesKey;
    std::string m_strScheduleKey;

private:
    void LoadProgramLocation();
    void LoadMainKey();
    bool ReadMainValues();
    void WriteMainValues();
    void TouchPreferencesKey(); // creates "Preferences" when missing
    void CheckWindowPosition();

    ScreenSizeProvider m_screenSize;
};

extern CPreferences g_Preferences;
