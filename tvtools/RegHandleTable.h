#pragma once

#include "RegTypes.h"

#include <cstdint>
#include <optional>
#include <unordered_map>

// What an open key handle stands for: the key's id in the store and the access
// rights it was opened with.
struct TvRegOpenKey
{
    std::int64_t keyId = 0;
    REGSAM access = 0;
};

// The handles of the keys open in this process. Handle values are never reused, so a
// closed handle stays invalid instead of quietly naming another key later.
class CRegHandleTable
{
public:
    static bool IsRoot(HKEY key);

    HKEY Add(std::int64_t keyId, REGSAM access);
    // The predefined roots resolve with full access; unknown handles give nothing.
    std::optional<TvRegOpenKey> Find(HKEY key) const;
    bool Remove(HKEY key);
    void Clear() { m_open.clear(); }

private:
    std::unordered_map<std::uintptr_t, TvRegOpenKey> m_open;
    std::uintptr_t m_next = 0x1000;
};
