#include "TbmStartup.h"

int main(int argc, char** argv)
{
    return RunTbManager(argc, argv);
}
