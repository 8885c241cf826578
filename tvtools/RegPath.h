#pragma once

#include <string_view>
#include <vector>

// Splits a key path at "\" into key names. A null or empty path gives no names (the
// key itself); one trailing "\" is allowed. Throws CRegError: ERROR_BAD_PATHNAME for a
// leading "\" or an empty name between two, ERROR_INVALID_PARAMETER for a name longer
// than 255 characters (the Windows limit, which enumeration buffers rely on).
std::vector<std::string_view> TvRegSplitPath(const char* path);
