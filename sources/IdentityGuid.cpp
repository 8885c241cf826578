#include "IdentityGuid.h"

#include <sys/random.h>

#include <cstdint>
#include <cstdio>

std::string NewIdentityGuid()
{
    // Requests of up to 256 bytes are answered whole once the source is ready.
    std::uint8_t bytes[16];
    if (getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes))
        return {};
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40); // version 4
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80); // RFC 4122 variant
    std::string guid = "{";
    for (int i = 0; i < 16; ++i) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", bytes[i]);
        guid += hex;
        if (i == 3 || i == 5 || i == 7 || i == 9)
            guid += '-';
    }
    return guid + "}";
}
