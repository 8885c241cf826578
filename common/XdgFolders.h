#pragma once

#include <string>

// Windows special-folder numbers that the program asks for, and the flag that asks
// for the folder to be created when it is missing.
constexpr int CSIDL_DESKTOP = 0;
constexpr int CSIDL_PERSONAL = 5; // documents
constexpr int CSIDL_FAVORITES = 6;
constexpr int CSIDL_STARTUP = 7;
constexpr int CSIDL_RECENT = 8;
constexpr int CSIDL_STARTMENU = 11;
constexpr int CSIDL_MYMUSIC = 13;
constexpr int CSIDL_MYVIDEO = 14;
constexpr int CSIDL_DESKTOPDIRECTORY = 16;
constexpr int CSIDL_FONTS = 20;
constexpr int CSIDL_TEMPLATES = 21;
constexpr int CSIDL_APPDATA = 26;
constexpr int CSIDL_LOCAL_APPDATA = 28;
constexpr int CSIDL_INTERNET_CACHE = 32;
constexpr int CSIDL_COOKIES = 33;
constexpr int CSIDL_HISTORY = 34;
constexpr int CSIDL_COMMON_APPDATA = 35;
constexpr int CSIDL_MYPICTURES = 39;
constexpr int CSIDL_PROFILE = 40;
constexpr int CSIDL_FLAG_CREATE = 0x8000;

// The special folders on Linux, after the XDG base-directory and user-dirs rules:
//   26 application data     $XDG_CONFIG_HOME (~/.config)
//   28 local app data       $XDG_DATA_HOME (~/.local/share)
//   32 internet cache       $XDG_CACHE_HOME (~/.cache)
//   35 common app data      first folder of $XDG_CONFIG_DIRS (/etc/xdg)
//   40 profile              $HOME
//   0, 16 desktop           XDG_DESKTOP_DIR of user-dirs.dirs (~/Desktop)
//   5 documents             XDG_DOCUMENTS_DIR (~/Documents)
//   13, 14, 39, 21          XDG_MUSIC_DIR, XDG_VIDEOS_DIR, XDG_PICTURES_DIR,
//                           XDG_TEMPLATES_DIR (~/Music, ~/Videos, ~/Pictures, ~/Templates)
//   20 fonts                $XDG_DATA_HOME/fonts, where fontconfig looks
//   7 startup               $XDG_CONFIG_HOME/autostart
//   11 start menu           $XDG_DATA_HOME/applications
//   6, 8, 33, 34            Linux has no such folders; ours live in
//                           $XDG_DATA_HOME/TBManager/{Favorites,Recent,Cookies,History}
// Environment values that are not absolute paths are ignored, as the XDG rules say.
class CXdgFolders
{
public:
    static std::string Home();
    static std::string ConfigHome();
    static std::string DataHome();
    static std::string CacheHome();
    static std::string CommonConfig();

    // Folder `key` of user-dirs.dirs (e.g. "XDG_DOCUMENTS_DIR"), else $HOME/`fallback`.
    static std::string UserDir(const std::string& key, const std::string& fallback);

    // The folder for a special-folder number; with CSIDL_FLAG_CREATE a missing folder
    // is created (mode 0700 for the private ones). Empty for an unknown number, or
    // when the folder was to be created and could not be.
    static std::string GetFolder(int id);
};
