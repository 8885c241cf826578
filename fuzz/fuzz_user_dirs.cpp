// user-dirs.dirs belongs to the user and may hold anything.
#include "UserDirs.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const auto& [key, path] : ParseUserDirs(text, "/home/user")) {
        // Only absolute folders come out, never with a trailing "/" (but for "/" itself).
        if (key.empty() || path.empty() || path[0] != '/' ||
            (path.size() > 1 && path.back() == '/'))
            std::abort();
    }
    return 0;
}
