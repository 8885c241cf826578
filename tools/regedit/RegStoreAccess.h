#pragma once

#include "RegOperation.h"

#include <string>
#include <vector>

// Reads and writes the registry store a whole file at a time. The Windows-shaped
// TvReg calls commit every call on its own; an export must see one consistent state
// and an import must change all or nothing, so both run in a single transaction of
// the store here. This is the one place outside tvtools that works on the store's
// tables.
class CRegStoreAccess
{
public:
    // The key at `path` below `root` and every key below it, in pre-order with the
    // sub-keys in enumeration order. ERROR_FILE_NOT_FOUND when the key does not
    // exist; other store codes as the TvReg calls return them.
    static LONG ReadTree(HKEY root, const std::string& path, std::vector<TvRegKeyContent>& keys);

    // Applies every operation in order, or none of them: any failure rolls back.
    static LONG Apply(const std::vector<TvRegOperation>& operations);
};
