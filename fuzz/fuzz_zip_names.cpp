// Entry names come from archives anyone may have made: the path splitter and the
// code-page conversion must take any bytes.
#include "ZipPathParts.h"
#include "ZipPlatform.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string name(reinterpret_cast<const char*>(data), size);
    for (auto syntax : {CZipPathParts::AnySyntax, CZipPathParts::NativeSyntax}) {
        const CZipPathParts parts(name, syntax);
        const std::string full = parts.GetFullPath();
        // Rebuilding never invents characters: at most one separator per part joined.
        if (full.size() > name.size() + 3)
            std::abort();
        parts.GetPathWithoutDrive();
    }
    std::string oem = name;
    if (ZipPlatform::AnsiToOem(oem)) {
        // Every CP437 name has a UTF-8 form that converts back to it.
        std::string again = oem;
        if (!ZipPlatform::OemToAnsi(again) || !ZipPlatform::AnsiToOem(again) || again != oem)
            std::abort();
    } else if (oem != name) {
        std::abort(); // a refused name is left alone
    }
    std::string ansi = name;
    ZipPlatform::OemToAnsi(ansi);
    return 0;
}
