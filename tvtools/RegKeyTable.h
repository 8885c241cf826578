#pragma once

#include "RegTypes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class CRegDatabase;

// The keys of the registry store: a tree of named keys below the four roots. Names
// are looked up by their case fold and kept as first written. Key ids are never
// reused, so a handle to a deleted key can tell it was deleted.
class CRegKeyTable
{
public:
    explicit CRegKeyTable(CRegDatabase& db) : m_db(db) {}

    bool Exists(std::int64_t id);
    std::optional<std::int64_t> FindChild(std::int64_t parent, std::string_view name);
    std::int64_t AddChild(std::int64_t parent, std::string_view name);

    // The index-th sub-key name, in the order of the folded names.
    std::optional<std::string> ChildAt(std::int64_t parent, DWORD index);
    bool HasChildren(std::int64_t id);
    // Number of sub-keys and the byte length of the longest name.
    void ChildStats(std::int64_t parent, DWORD& count, DWORD& longest);

    // Removes a key without sub-keys, with its values.
    void Remove(std::int64_t id);
    // Removes everything below a key; the key itself too unless keepKey.
    void RemoveTree(std::int64_t id, bool keepKey);

private:
    CRegDatabase& m_db;
};
