#pragma once

#include <string>

// The work folder holds catalogues, registry exports and extracted catalogue files:
// the user's data in passing, so it must be the user's own. A folder is used only
// when it is a real folder (not a symbolic link) owned by the user; it is narrowed to
// mode 0700 if it was wider. The default one is "TBackupTempDir" in the temporary
// folder; when that name is taken by something that is not ours (another user may
// have made it first), a fresh private folder is made instead.
class CWorkFolder
{
public:
    static constexpr const char* kDefaultName = "TBackupTempDir";

    // True when the folder may be used as work folder (narrowing its mode if needed).
    static bool Accept(const std::string& folder);
    // The default work folder, made when missing; empty when none could be made.
    static std::string MakeDefault();
    // Deletes everything inside the folder, keeping it, when it lies below the
    // temporary folder and is ours. Nothing outside it is touched: symbolic links are
    // removed, never followed. False when it was refused or something stayed.
    static bool Clear(const std::string& folder);
};
