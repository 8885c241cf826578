#pragma once

#include "RegOperation.h"

#include <ostream>

// Comparing and printing what a registry holds, for tests that check round trips.

inline bool operator==(const TvRegValue& a, const TvRegValue& b)
{
    return a.name == b.name && a.type == b.type && a.data == b.data;
}

inline bool operator==(const TvRegKeyContent& a, const TvRegKeyContent& b)
{
    return a.relativePath == b.relativePath && a.values == b.values;
}

inline void PrintTo(const TvRegValue& value, std::ostream* os)
{
    *os << "\"" << value.name << "\" type " << value.type << " [";
    for (const BYTE byte : value.data)
        *os << ' ' << static_cast<int>(byte);
    *os << " ]";
}

inline void PrintTo(const TvRegKeyContent& key, std::ostream* os)
{
    *os << "\n  key \"" << key.relativePath << "\":";
    for (const TvRegValue& value : key.values) {
        *os << "\n    ";
        PrintTo(value, os);
    }
}
