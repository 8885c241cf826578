#pragma once

#include "ModulePath.h"

#include <string>

// Files the resource tests use: the libraries in the program folder, and the
// build tools whose paths the build passes in.
namespace restest {

inline std::string ProgramFile(const std::string& name)
{
    return TvGetModuleFolder() + "/" + name;
}

inline std::string ResGenPath()
{
    return TBM_RESGEN_PATH;
}

inline std::string BadMagicLibraryPath()
{
    return TBM_BAD_MAGIC_LIBRARY;
}

} // namespace restest
