#include "ModulePath.h"

#include <filesystem>
#include <system_error>

std::string TvGetModuleFileName()
{
    std::error_code ec;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : path.string();
}

std::string TvGetModuleFolder()
{
    const std::string file = TvGetModuleFileName();
    const auto slash = file.rfind('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? std::string("/") : file.substr(0, slash);
}
