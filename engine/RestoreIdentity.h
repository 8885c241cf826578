#pragma once

#include "BackupMangerSource.h"

#include <string>

// One Outlook Express identity of a backup being restored: a source whose plan the
// restore extracts as a section of its own. The engine keeps one per identity
// catalogue in its identity map; the restore heading shows the identity's name, and
// its registry exports are moved from the backup's identity to the target one.
class CRestoreIdentity : public CBackupMangerSource
{
public:
    using CBackupMangerSource::CBackupMangerSource;

    // Restoring never collects.
    int Collect(std::string& catalogueName) override
    {
        catalogueName.clear();
        return 0;
    }
    // The identity's name as the backup knew it.
    virtual std::string GetIdentityName() const = 0;
    // The GUID (registry form, with braces) of the identity to restore into.
    virtual std::string GetTargetGuid() const = 0;
};
