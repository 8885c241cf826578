#include "FavoritesData.h"

#include "ResultCodes.h"
#include "StoredName.h"

#include "Registry.h"
#include "WriteLog.h"
#include "XdgFolders.h"

#include <sys/stat.h>

CFavoritesData::CFavoritesData() : CStoredFilesSource(kCatalogueName)
{
    ReadFolder();
}

void CFavoritesData::Reset()
{
    CStoredFilesSource::Reset();
    m_nLoaded = 0;
    ReadFolder();
}

void CFavoritesData::ReadFolder()
{
    std::string folder;
    CRegistry registry(HKEY_CURRENT_USER);
    if (!registry.Open(HKEY_CURRENT_USER, kShellFoldersKey, KEY_READ)) {
        WriteLog("Favorites folder not found\n");
    } else if (registry.Read("Favorites", folder)) {
        folder = NativeAbsolutePath(folder);
    }
    // A folder that is no absolute path would be taken relative to wherever the
    // program runs; the default folder is the one place that always fits.
    if (folder.empty())
        folder = CXdgFolders::GetFolder(CSIDL_FAVORITES);
    m_strFolder = folder;
}

bool CFavoritesData::IsPresent() const
{
    struct stat st
    {
    };
    return stat(m_strFolder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int CFavoritesData::Load()
{
    if (m_nLoaded)
        return 1;
    m_nLoaded = m_Manager.Load(m_strFolder);
    return m_nLoaded;
}

int CFavoritesData::Collect(std::string& catalogueName)
{
    m_ItemList.RemoveAll();
    Load();
    const std::string prefix = m_strFolder + "/";
    for (const std::string& path : m_Manager.GetFavoritesArray()) {
        if (IsStopRequested())
            return result::kAbortScan;
        std::string below = path.substr(prefix.size());
        for (char& c : below)
            if (c == '/')
                c = '\\';
        const int code = AddStoredFile(path, std::string(kArchiveFolder) + "\\" + below);
        if (code == result::kCancel)
            return code;
    }
    return FinishCollect(catalogueName);
}

int CFavoritesData::LoadForRestore(const CatalogueExtract& extract)
{
    return ReadStoredCatalogue(extract);
}

int CFavoritesData::PlanRestore()
{
    for (const CAddInfo* stored : m_ItemList)
        PlanBelow(*stored, kArchiveFolder, m_strFolder);
    return result::kSuccess;
}
