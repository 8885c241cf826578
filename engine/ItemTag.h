#pragma once

#include <cstdint>

// The data of one backup or restore tree node: a value and the node's item kind. The
// value is an index (an identity's position in the identity list for kind 2), the
// address of the record the node stands for, or 0. It is pointer-wide, since an
// address does not fit 32 bits here. Tags are owned by the tag list of the data
// source that made the node.
struct ItemTag
{
    std::uintptr_t value = 0;
    std::uint32_t kind = 0;
};
