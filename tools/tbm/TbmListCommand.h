#pragma once

#include <iosfwd>

class CTbmOptions;

// tbm list FILE [--json]: every entry with its size, compressed size, time and CRC;
// with --json one JSON array of objects on stdout for scripts.
class CTbmListCommand
{
public:
    static int Run(const CTbmOptions& options, std::ostream& out);
};
