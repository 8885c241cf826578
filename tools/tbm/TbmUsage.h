#pragma once

// The help texts of tbm.
class CTbmUsage
{
public:
    static const char* Full();
    static const char* Short();
};
