#pragma once

#include "RegTypes.h"

#include <optional>
#include <string>
#include <string_view>

// A key named by its full path: the root and the path below it ("" for the root).
struct TvRegKeyPath
{
    HKEY root = nullptr;
    std::string path;
};

// The root a name stands for: the long names (HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE,
// HKEY_CLASSES_ROOT, HKEY_USERS) and their short forms (HKCU, HKLM, HKCR, HKU), in
// any case. Other roots of Windows (HKEY_CURRENT_CONFIG) have no place in the store.
std::optional<HKEY> RegFindRoot(std::string_view name);

// The long name of a root, as registry files spell it.
const char* RegRootName(HKEY root);

// Splits "ROOT\path\below" at its first "\". One trailing "\" is dropped. Nothing when
// the root is unknown.
std::optional<TvRegKeyPath> RegSplitKeyPath(std::string_view fullPath);
