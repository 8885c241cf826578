#pragma once

#include "DataSource.h"

#include <string>

// One export of one key of HKEY_CURRENT_USER to one registry file, made by the
// registry editor as a separate process and normalised to the ANSI "REGEDIT4" form
// that every version of the editor imports. Used once: construct (the export folder
// is made), call WriteRegistryFileToTemp, destroy; the folder and the file stay for
// the caller, inside the work folder.
class CRegistryExport : public CDataSource
{
public:
    // `keyPath` is below HKEY_CURRENT_USER, without a leading "\", e.g.
    // "Software\Microsoft\Internet Account Manager". The export folder is made at
    // once inside `workFolder` (when empty: the current job's work folder):
    // <workFolder>/OL3<hex>Temp, private to the user.
    CRegistryExport(const std::string& fileName, const std::string& keyPath,
                    const std::string& workFolder = {});

    // Exports the key and returns the written file's path: empty when the editor ran
    // but wrote no file (the key does not exist) or there is no export folder; the
    // path unchanged (and nothing written) when the editor could not be started, so
    // the caller meets the file again as unreadable.
    std::string WriteRegistryFileToTemp();

    // Normalises an exported file in place: UTF-16 becomes ANSI text, the header line
    // becomes "REGEDIT4" and every line ends with CR LF.
    void ConvertRegistryFileToAnsi(const std::string& path) const;

    const std::string& GetExportFolder() const { return m_exportFolder; }
    const std::string& GetFileName() const { return m_fileName; }
    const std::string& GetKeyPath() const { return m_keyPath; }

private:
    void ConvertToAnsiText(const std::string& path) const;
    void ReplaceHeader(const std::string& path) const;

    std::string m_exportFolder;
    std::string m_fileName;
    std::string m_keyPath;
};
