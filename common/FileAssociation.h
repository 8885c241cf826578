#pragma once

#include <string>

// The ".tbm" file association: the classes-root keys "TBMFile" and ".tbm" in the
// registry store, and the desktop's own association (a shared-mime-info type for
// *.tbm and a desktop entry under the XDG data folder), so a double-click on a
// backup file in a file manager opens it in TBManager.
class CFileAssociation
{
public:
    explicit CFileAssociation(std::string programFile);

    // Points ".tbm" at "TBMFile" (keeping another program's value as "Old"), creates
    // "TBMFile" when it is missing, and writes the desktop files when they are missing
    // or "TBMFile" was created. Failures are ignored: the association is a convenience.
    void Register();

    static constexpr const char* kMimeType = "application/x-tbmanager-backup";
    // Paths of the desktop files below the XDG data folder.
    static std::string MimePackagePath();
    static std::string DesktopEntryPath();
    // The desktop entry's text for a program file (Exec quoted as desktop entries want).
    static std::string DesktopEntryText(const std::string& programFile);

private:
    void PointExtensionAtClass();
    bool CreateClassKeys();
    bool WriteDesktopFiles(bool replace);
    void RefreshDesktopDatabases();

    std::string m_programFile;
};
