#pragma once

#include <cstdint>

// Handle of one item of a check tree. The default handle is null ("none"). Handles are
// never reused within one tree, so a handle kept after its item was deleted names no
// item, and every operation treats it like null.
struct TvTreeItem
{
    std::uint64_t id = 0;

    explicit operator bool() const { return id != 0; }
    bool operator==(const TvTreeItem&) const = default;
};

// Insert positions among the children of a parent.
inline constexpr TvTreeItem kTvItemFirst{~std::uint64_t{0} - 1};
inline constexpr TvTreeItem kTvItemLast{~std::uint64_t{0}};
