#pragma once

#include <ostream>

class CTbmOptions;

// tbm sources: the data sources this system has and what each would take (files,
// bytes, the folder), so a script can pick its --source names.
class CTbmSourcesCommand
{
public:
    static int Run(const CTbmOptions& options, std::ostream& out);
};
