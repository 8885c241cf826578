// What xprop prints about other programs' windows: their titles and classes are any
// bytes those programs chose. Reading must never fail, and what it gives back must
// come from the bytes read: ids are short hexadecimal numbers, strings no longer
// than the output.
#include "WindowFinder.h"
#include "XpropOutput.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view output(reinterpret_cast<const char*>(data), size);
    for (const std::string& id : CXpropOutput::WindowIds(output, 64))
        if (id.size() < 3 || id.size() > 10 || id.compare(0, 2, "0x") != 0)
            std::abort();
    for (const char* name : {"WM_CLASS", "_NET_WM_NAME", "WM_NAME"})
        for (const std::string& text : CXpropOutput::Strings(output, name)) {
            if (text.size() > size)
                std::abort();
            CWindowFinder::TitleNames(text, "Microsoft Outlook");
        }
    return 0;
}
