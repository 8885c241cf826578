#pragma once

#include "ZipDiskCallback.h"

// Asks the user for the next disk of a spanned backup, through the installed prompt
// (a command line without a terminal answers Cancel, which aborts the run). When
// the inserted disk already holds a file of the backup's name, the user may have it
// deleted (Yes), insert another disk (No) or give up (Cancel).
class CBackupDiskCallback : public CZipDiskCallback
{
public:
    bool Callback(int code) override;

private:
    bool AskAboutExistingFile();
};
