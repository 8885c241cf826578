#pragma once

#include <ostream>

class CTbmOptions;

// tbm schedule show|set|remove: the scheduled job without the window, for machines
// without a desktop. The same schedule key and task as the schedule wizard.
class CTbmScheduleCommand
{
public:
    static int Run(const CTbmOptions& options, std::ostream& out);

private:
    static int Show(std::ostream& out);
    static int Set(const CTbmOptions& options, std::ostream& out);
};
