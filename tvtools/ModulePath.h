#pragma once

#include <string>

// Full path of the running program's file (/proc/self/exe resolved); empty when the
// system does not tell.
std::string TvGetModuleFileName();

// Folder of the running program's file, without a trailing separator.
std::string TvGetModuleFolder();
