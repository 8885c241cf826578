#pragma once

#include <string>

// The folders the engine works with, other than the work folder (WorkFolder.h).
class CEngineFolders
{
public:
    // The user's application data folder + "/Tovan-Soft/Tovan Backup Manager", made
    // (private to the user) when missing. Holds the job folders and "Restore.html".
    static std::string GetAppDataFolder();
    // The user's documents folder + "/My Backups"; not made here.
    static std::string GetDefaultOutputFolder();
    // folder + "/" + name, with no doubled separator; the name alone for no folder.
    static std::string Join(const std::string& folder, const std::string& name);
};
