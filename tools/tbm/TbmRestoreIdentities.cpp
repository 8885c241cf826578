#include "TbmRestoreIdentities.h"

#include "TbmConsole.h"

#include "OEData.h"
#include "OEIdentities.h"

#include <algorithm>

namespace {

void Say(const std::string& text)
{
    CTbmConsole::Get().Write("tbm: " + text + "\n");
}

} // namespace

bool CTbmRestoreIdentities::Load(CBackupManger& engine, COEIdentities& identities)
{
    // Nobody is asked here: an identity that gets no target fails the restore.
    std::string missing;
    const auto choose = [&identities, &missing](const COEData& data) {
        const std::vector<std::string>& guids = identities.GetGuids();
        const bool known = std::find(guids.begin(), guids.end(), data.GetGuid()) != guids.end();
        const std::string target = identities.ChooseRestoreTarget(data.GetGuid());
        if (!known && !target.empty())
            Say("the identity '" + data.GetIdentityName() + "' goes into the new identity '" +
                identities.GetNames().back() + "'");
        if (target.empty() && missing.empty())
            missing = data.GetIdentityName();
        return target;
    };
    std::string failed;
    if (COEIdentities::LoadRestoreIdentities(engine, choose, failed) && missing.empty())
        return true;
    if (failed.empty())
        failed = missing;
    Say("the identity '" + failed + "' of the backup cannot be read, or no identity can be made "
        "to restore it into");
    return false;
}
