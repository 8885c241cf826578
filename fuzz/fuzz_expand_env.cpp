// Registry texts from imported .reg files are expanded before use.
#include "ExpandEnvironment.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string expanded = ExpandEnvironmentStrings(text);
    // Without a "%" there is nothing to expand.
    if (text.find('%') == std::string::npos && expanded != text)
        std::abort();
    return 0;
}
