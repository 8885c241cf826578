#pragma once

#include "AddInfo.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Names read from a backup's catalogue, which may have been crafted, turned into
// places on disk that always lie inside the folder a source owns.

// A path named in the registry store or the application table, environment
// references expanded and "\" read as "/", without trailing "/"; empty unless it is
// absolute (a relative path would depend on where the program runs).
std::string NativeAbsolutePath(const std::string& text);

// The components of a stored name below a source's archive folder ("Links\a.url" ->
// {"Links", "a.url"}). Refused (nothing): an empty name or component, "." and "..",
// a leading separator or a drive ("\x", "C:\x"), and a "/" or a NUL inside a name,
// since "/" separates folders here.
std::optional<std::vector<std::string>> SplitStoredName(std::string_view name);

// The part of `entryName` after `folder` + "\" (the folder compared ignoring case);
// nothing when the name does not begin so.
std::optional<std::string> StoredNameBelow(std::string_view entryName, std::string_view folder);

// A restore plan entry for the stored entry, put at `root` + the components: target
// folder, target path and name, and the root below which the extraction follows no
// link. Kind 0: data sources store their files as plain files.
CAddInfo PlanStoredFile(const CAddInfo& stored, const std::string& root,
                        const std::vector<std::string>& parts);
