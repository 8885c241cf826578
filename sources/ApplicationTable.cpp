#include "ApplicationTable.h"

const std::vector<ApplicationRow>& GetApplicationTable()
{
    // Linux rows: the folders a user wants back after a reinstall. Caches live
    // elsewhere ($XDG_CACHE_HOME), so these are settings and profiles only.
    static const std::vector<ApplicationRow> table{
        {"Babylon Application", "Babylon",
         "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Babylon.exe", "",
         HKEY_LOCAL_MACHINE, nullptr, "HKEY_CURRENT_USER\\Software\\Babylon", "3.2", ""},
        {"Mozilla Firefox", "Firefox", "", "", nullptr, nullptr, "", "", "%UserProfile%/.mozilla/firefox"},
        {"Mozilla Thunderbird", "Thunderbird", "", "", nullptr, nullptr, "", "",
         "%UserProfile%/.thunderbird"},
        {"Chromium", "Chromium", "", "", nullptr, nullptr, "", "", "%AppData%/chromium"},
        {"Google Chrome", "Chrome", "", "", nullptr, nullptr, "", "", "%AppData%/google-chrome"},
        {"Evolution Mail", "Evolution", "", "", nullptr, nullptr, "", "", "%LocalAppData%/evolution"},
        {"Evolution Settings", "EvolutionConfig", "", "", nullptr, nullptr, "", "",
         "%AppData%/evolution"},
        {"LibreOffice", "LibreOffice", "", "", nullptr, nullptr, "", "", "%AppData%/libreoffice"},
        {"Geany", "Geany", "", "", nullptr, nullptr, "", "", "%AppData%/geany"},
        {"Kate", "Kate", "", "", nullptr, nullptr, "", "", "%LocalAppData%/kate"},
        {"Vim", "Vim", "", "", nullptr, nullptr, "", "", "%UserProfile%/.vim"},
        {"GNU Emacs", "Emacs", "", "", nullptr, nullptr, "", "", "%UserProfile%/.emacs.d"},
        {"Visual Studio Code", "VSCode", "", "", nullptr, nullptr, "", "", "%AppData%/Code/User"},
    };
    return table;
}
