#pragma once

#include <cstdint>

// A point in window coordinates.
struct TvPoint
{
    std::int32_t x = 0;
    std::int32_t y = 0;

    bool operator==(const TvPoint&) const = default;
};
