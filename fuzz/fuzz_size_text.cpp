// Size texts come from the user and from saved job files.
#include "SizeText.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::uint64_t bytes = 1;
    if (!ParseSizeText(text, bytes) && bytes != 0)
        std::abort();
    std::uint64_t raw = 0;
    std::memcpy(&raw, data, size < sizeof raw ? size : sizeof raw);
    if (FormatSizeText(raw).empty())
        std::abort();
    return 0;
}
