#pragma once

#include "RegValue.h"

#include <cstdint>
#include <optional>
#include <string_view>

class CRegDatabase;

// The values of the registry store's keys. Names are looked up by their case fold;
// a key lists its values in the order they were first created.
class CRegValueTable
{
public:
    explicit CRegValueTable(CRegDatabase& db) : m_db(db) {}

    std::optional<TvRegValue> Find(std::int64_t key, std::string_view name);
    // Creates the value or replaces type and data of an existing one, which keeps its
    // place in the order and the spelling of its name.
    void Set(std::int64_t key, std::string_view name, DWORD type, const BYTE* data, DWORD size);
    // False when there was no such value.
    bool Remove(std::int64_t key, std::string_view name);

    std::optional<TvRegValue> At(std::int64_t key, DWORD index);
    // Number of values and the byte lengths of the longest name and data.
    void Stats(std::int64_t key, DWORD& count, DWORD& longestName, DWORD& longestData);

private:
    CRegDatabase& m_db;
};
