#pragma once

#include "StoredFilesSource.h"

#include <string>

// The address book, all or nothing: the file named by the default value of
// "Wab File Name" below the WAB4 key, or the WAB5 key when that has one, stored as
// "Wab\" + its file name in "wab.tdat". A restore replaces this system's address
// book under its own name (renaming the old one aside when "R_Wab_Save" asks so).
// Without an address book nothing is stored and no catalogue written.
class CWabData : public CStoredFilesSource
{
public:
    static constexpr const char* kCatalogueName = "wab.tdat";
    static constexpr const char* kArchiveFolder = "Wab";
    static constexpr const char* kWab4Key = "Software\\Microsoft\\WAB\\WAB4\\Wab File Name";
    static constexpr const char* kWab5Key = "Software\\Microsoft\\WAB\\WAB5\\Wab File Name";

    CWabData();

    // Clears the tags and reads the address book's path anew.
    void Reset() override;
    bool IsPresent() const override { return !m_strPath.empty(); }
    const std::string& Path() const { return m_strPath; }
    const std::string& GetFileName() const { return m_strFileName; }
    const std::string& GetRestoreFileName() const { return m_strRestoreFileName; }

    int Collect(std::string& catalogueName) override;
    int LoadForRestore(const CatalogueExtract& extract) override;
    int PlanRestore() override;
    // The stored address book extracted into the work folder (work folder + "/" +
    // restore file name); empty when that fails.
    std::string ExtractStoredFile(const CatalogueExtract& extract);

private:
    void ReadPath();
    // The first stored entry when its name is "Wab\" + one sound file name.
    const CAddInfo* StoredBook(std::string& fileName) const;

    std::string m_strRestoreFileName;
    std::string m_strPath;
    std::string m_strFileName;
};
