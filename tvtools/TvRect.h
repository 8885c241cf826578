#pragma once

#include <cstdint>

// A rectangle in window coordinates, as the registry stores window placements.
struct TvRect
{
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    bool operator==(const TvRect&) const = default;
};
