#pragma once

#include <string>

// A new identity's GUID in registry form ("{8-4-4-4-12}", upper case): version 4,
// from the system's random source. Empty when that source cannot be read; an
// identity is never made with a GUID that might repeat.
std::string NewIdentityGuid();
