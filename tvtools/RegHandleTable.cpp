#include "RegHandleTable.h"

#include "RegDatabase.h"

namespace {

constexpr std::uintptr_t kFirstRoot = 0x80000000u;

std::uintptr_t Value(HKEY key)
{
    return reinterpret_cast<std::uintptr_t>(key);
}

} // namespace

bool CRegHandleTable::IsRoot(HKEY key)
{
    return Value(key) >= kFirstRoot &&
           Value(key) < kFirstRoot + static_cast<std::uintptr_t>(CRegDatabase::kRootCount);
}

HKEY CRegHandleTable::Add(std::int64_t keyId, REGSAM access)
{
    // Steps of 4 keep handles looking like aligned pointers, as on Windows; they stay
    // far below the root values for the life of any process.
    const std::uintptr_t value = m_next;
    m_next += 4;
    m_open[value] = TvRegOpenKey{keyId, access};
    return reinterpret_cast<HKEY>(value);
}

std::optional<TvRegOpenKey> CRegHandleTable::Find(HKEY key) const
{
    if (IsRoot(key)) {
        const auto id =
            CRegDatabase::kFirstRootId + static_cast<std::int64_t>(Value(key) - kFirstRoot);
        return TvRegOpenKey{id, KEY_ALL_ACCESS};
    }
    const auto it = m_open.find(Value(key));
    if (it == m_open.end())
        return std::nullopt;
    return it->second;
}

bool CRegHandleTable::Remove(HKEY key)
{
    return m_open.erase(Value(key)) > 0;
}
