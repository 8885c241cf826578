#include "HeadlessRun.h"
#include "TbmStartup.h"

#include <string>
#include <vector>

int main(int argc, char** argv)
{
    // Without a display an unattended run needs no Qt at all.
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    if (CHeadlessRun::IsWanted(arguments))
        return CHeadlessRun::Run(arguments);
    return RunTbManager(argc, argv);
}
