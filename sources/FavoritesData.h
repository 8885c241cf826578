#pragma once

#include "FavoritesManager.h"
#include "StoredFilesSource.h"

#include <string>

// The favorites, taken whole: every file below the favorites folder becomes an entry
// "Fav\" + its path below the folder (kind 0) in "favorites.tdat". A restore puts
// each stored favorite back below this system's favorites folder, overwriting.
//
// The folder is the "Favorites" value of the User Shell Folders key in the registry
// store (environment references expanded; only an absolute path counts), else the
// default $XDG_DATA_HOME/TBManager/Favorites, so a restore never lacks a place.
class CFavoritesData : public CStoredFilesSource
{
public:
    static constexpr const char* kCatalogueName = "favorites.tdat";
    static constexpr const char* kArchiveFolder = "Fav";
    static constexpr const char* kShellFoldersKey =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

    CFavoritesData();

    // Clears the tags and the loaded flag and reads the favorites folder anew.
    void Reset() override;
    bool IsPresent() const override;
    // The manager's listing, made once per Reset: 1 when loaded (now or before).
    int Load();
    std::size_t Count() const { return m_Manager.GetFavoritesCount(); }
    std::uint32_t Size() const { return m_Manager.GetFavoritesSize(); }
    std::uint64_t GetFavoritesSize64() const { return m_Manager.GetFavoritesSize64(); }
    const std::string& GetFolder() const { return m_strFolder; }

    int Collect(std::string& catalogueName) override;
    int LoadForRestore(const CatalogueExtract& extract) override;
    int PlanRestore() override;

private:
    void ReadFolder();

    CFavoritesManager m_Manager;
    int m_nLoaded = 0;
    std::string m_strFolder;
};
