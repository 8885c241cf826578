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

// A library built from badlib/OddTableRes.cpp, by its target name.
inline std::string OddTableLibraryPath(const std::string& name)
{
    return std::string(TBM_ODD_TABLE_FOLDER) + "/" + name + ".so";
}

} // namespace restest
