#pragma once

class CBackupManger;
class COEIdentities;

// What `tbm restore` does where the restore wizard asks which identity to restore
// into: each Outlook Express identity of the backup goes back into the identity of
// the same GUID when this system has it, else into a new identity made for it.
class CTbmRestoreIdentities
{
public:
    // Reads every identity's catalogue from the opened backup and gives the engine
    // its data with the target chosen. False (and a message) when one cannot be read
    // or no identity can be made for it.
    static bool Load(CBackupManger& engine, COEIdentities& identities);
};
