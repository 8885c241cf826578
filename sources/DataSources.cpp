#include "DataSources.h"

#include "ApplicationsData.h"
#include "FavoritesData.h"
#include "FontsData.h"
#include "MyFilesData.h"
#include "RegistryImport.h"
#include "WabData.h"

#include "BackupManger.h"
#include "ItemKinds.h"
#include "ProjectData.h"

#include <memory>

namespace {

template <class Source> Source* InstallSource(CBackupManger& engine, std::uint32_t kind)
{
    auto source = std::make_unique<Source>();
    Source* installed = source.get();
    engine.SetSource(kind, std::move(source));
    return installed;
}

} // namespace

InstalledSources CDataSources::Install(CBackupManger& engine)
{
    InstalledSources sources;
    auto myFiles = std::make_unique<CMyFilesData>();
    sources.myFiles = myFiles.get();
    engine.SetMyFiles(std::move(myFiles));
    sources.favorites = InstallSource<CFavoritesData>(engine, itemkind::kFavorites);
    sources.addressBook = InstallSource<CWabData>(engine, itemkind::kAddressBook);
    sources.fonts = InstallSource<CFontsData>(engine, itemkind::kFonts);
    sources.applications = InstallSource<CApplicationsData>(engine, itemkind::kApplications);
    // The rewrite's working files go to the job's work folder, which the restore
    // clears when it opens the next backup.
    engine.SetRegistryImportHook([](const std::string& path, std::uint32_t kind,
                                    const std::string& backupGuid, const std::string& targetGuid) {
        CRegistryImport registryImport(g_ProjectData.GetWorkFolder());
        return registryImport.RestoreRegistryItem(path, static_cast<int>(kind), backupGuid,
                                                  targetGuid);
    });
    // There is no window finder yet: every mail program counts as closed, as on a
    // system without a window system.
    engine.SetMailProgramOpenHook([](std::uint32_t) { return false; });
    return sources;
}
