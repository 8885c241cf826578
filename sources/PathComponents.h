#pragma once

#include <string>
#include <vector>

// The names of a path's components: empty ones and "." are dropped and ".." takes the
// one before it away but never climbs above the first, so the result cannot lead
// outside the folder it is later joined to. "/" always separates; "\" too when
// `backslashes` (stored Windows-form paths).
std::vector<std::string> SplitPathComponents(const std::string& path, bool backslashes);
