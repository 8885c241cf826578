#include "KeyVersion.h"

#include <algorithm>

int KeyVersionOf(const std::string& name)
{
    int version = 0;
    for (const char c : name) {
        if (c < '0' || c > '9')
            break;
        version = std::min(version * 10 + (c - '0'), 1000000);
    }
    return version;
}
