#include "TbmRestoreIdentities.h"

#include "TbmConsole.h"

#include "BackupManger.h"
#include "ItemKinds.h"
#include "OEData.h"
#include "OEIdentities.h"
#include "ProjectData.h"

#include <algorithm>

namespace {

void Say(const std::string& text)
{
    CTbmConsole::Get().Write("tbm: " + text + "\n");
}

} // namespace

bool CTbmRestoreIdentities::Load(CBackupManger& engine, COEIdentities& identities)
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
        if (!data) {
            Say("the identity '" + item->m_strDisplayName + "' of the backup cannot be read");
            return false;
        }
        const std::vector<std::string>& guids = identities.GetGuids();
        const bool known = std::find(guids.begin(), guids.end(), data->GetGuid()) != guids.end();
        const std::string target = identities.ChooseRestoreTarget(data->GetGuid());
        if (target.empty() || !data->SetRestoreTarget(target, 0)) {
            Say("no identity can be made to restore '" + item->m_strDisplayName + "' into");
            return false;
        }
        if (!known)
            Say("the identity '" + item->m_strDisplayName + "' goes into the new identity '" +
                identities.GetNames().back() + "'");
        engine.SetRestoreIdentity(item->m_strCatalogueFile, std::move(data));
    }
    return true;
}
