#include "IdentityGuid.h"

#include <sys/random.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>

namespace {

bool ReadRandom(std::uint8_t* out, std::size_t size)
{
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = getrandom(out + got, size - got, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

std::string NewIdentityGuid()
{
    std::uint8_t bytes[16];
    if (!ReadRandom(bytes, sizeof bytes))
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
