#pragma once

class CTbmOptions;

// tbm verify FILE: tests every entry of a backup file (or volume set); exit 0 when
// all pass, 1 when the file cannot be read or an entry is damaged.
class CTbmVerifyCommand
{
public:
    static int Run(const CTbmOptions& options);
};
