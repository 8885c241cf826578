#pragma once

#include "RegTypes.h"

#include <string>
#include <vector>

// One stored value: its name as first written, its type number and its bytes.
struct TvRegValue
{
    std::string name;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};
