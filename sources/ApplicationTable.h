#pragma once

#include "RegTypes.h"

#include <vector>

// One known application of the built-in table. Windows programs are found through a
// registry value that names their installation folder; Linux programs through the
// settings folder they keep below the home or XDG folders.
struct ApplicationRow
{
    const char* displayName;
    const char* shortName; // the archive folder: "APP\" + short name + "\Files\..."
    const char* firstPathKey;
    const char* secondPathKey;
    HKEY firstRoot;  // null: no first path key
    HKEY secondRoot; // null: no second path key
    const char* settingsKey;
    const char* version;
    // The settings folder of a Linux program, "%UserProfile%/..." or "%AppData%/..."
    // (see ExpandEnvironmentStrings); empty for programs found through the registry.
    const char* folder;
};

// The rows in the order the selection tree shows them.
const std::vector<ApplicationRow>& GetApplicationTable();
