#include "DataSources.h"

#include "ApplicationsData.h"
#include "FavoritesData.h"
#include "FontsData.h"
#include "MailProgramCheck.h"
#include "MyFilesData.h"
#include "OEIdentities.h"
#include "OutlookData.h"
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

InstalledSources CDataSources::Install(CBackupManger& engine, std::shared_ptr<CWindowFinder> finder)
{
    InstalledSources sources;
    auto myFiles = std::make_unique<CMyFilesData>();
    sources.myFiles = myFiles.get();
    engine.SetMyFiles(std::move(myFiles));
    sources.outlook = InstallSource<COutlookData>(engine, itemkind::kOutlook);
    sources.favorites = InstallSource<CFavoritesData>(engine, itemkind::kFavorites);
    sources.addressBook = InstallSource<CWabData>(engine, itemkind::kAddressBook);
    sources.fonts = InstallSource<CFontsData>(engine, itemkind::kFonts);
    sources.applications = InstallSource<CApplicationsData>(engine, itemkind::kApplications);
    sources.identities = InstallSource<COEIdentities>(engine, itemkind::kOEGroup);
    // The rewrite's working files go to the job's work folder, which the restore
    // clears when it opens the next backup.
    engine.SetRegistryImportHook([](const std::string& path, std::uint32_t kind,
                                    const std::string& backupGuid, const std::string& targetGuid) {
        CRegistryImport registryImport(g_ProjectData.GetWorkFolder());
        return registryImport.RestoreRegistryItem(path, static_cast<int>(kind), backupGuid,
                                                  targetGuid);
    });
    if (!finder)
        finder = CWindowFinder::ForThisSystem();
    engine.SetMailProgramOpenHook([finder](std::uint32_t kind) {
        CMailProgramCheck check(*finder);
        return check.StaysOpen(kind);
    });
    return sources;
}
