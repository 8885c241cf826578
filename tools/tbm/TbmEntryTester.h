#pragma once

#include <string>

class CNotify;

// Tests every entry of a backup file (reads it whole and checks its CRC) and tells
// `notify` as the engine's verification does: the name of each entry (code 15), then
// 16 with the number of failed entries (0 when the file cannot be opened or the
// password is refused) or 17 when all passed. Stops early, with 16, on an interrupt.
class CTbmEntryTester
{
public:
    static void Run(const std::string& path, const std::string& password, CNotify& notify);
};
