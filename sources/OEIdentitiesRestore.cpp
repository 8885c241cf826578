// The identities of a backup being restored, each with the identity it goes into.
#include "OEIdentities.h"

#include "OEData.h"

#include "BackupManger.h"
#include "ItemKinds.h"
#include "ProjectData.h"

bool COEIdentities::LoadRestoreIdentities(CBackupManger& engine, const TargetChooser& chooseTarget,
                                          std::string& failed)
{
    const auto extract = [&engine](const std::string& name, std::string& path) {
        path = g_ProjectData.GetPathInWorkFolder(name);
        return engine.ExtractCatalogueFiles({name}, {});
    };
    for (const CBackupTreeItem* item : engine.GetCatalogueList()) {
        if (item->m_dwKind != itemkind::kOEIdentity)
            continue;
        int code = 0;
        auto data = COEData::ForRestore(item->m_strCatalogueFile, item->m_strDisplayName, extract,
                                        &engine.GetReport(), code);
        const std::string target = data ? chooseTarget(*data) : std::string();
        if (!data || (!target.empty() && !data->SetRestoreTarget(target, 0))) {
            failed = item->m_strDisplayName;
            return false;
        }
        engine.SetRestoreIdentity(item->m_strCatalogueFile, std::move(data));
    }
    return true;
}
