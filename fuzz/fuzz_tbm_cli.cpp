// The command line's parser over arguments cut from the input at NUL bytes, and the
// JSON quoting of entry names taken from the input as they are: neither may crash,
// and a quoted name never carries a raw control character.
#include "TbmJson.h"
#include "TbmOptions.h"
#include "TbmUsageError.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> args;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= input.size(); ++i) {
        if (i == input.size() || input[i] == '\0') {
            args.push_back(input.substr(start, i - start));
            start = i + 1;
        }
    }
    try {
        CTbmOptions::Parse(args);
    } catch (const CTbmUsageError&) {
    }
    const std::string quoted = CTbmJson::Quote(input);
    for (const char c : quoted)
        if (static_cast<unsigned char>(c) < 0x20)
            std::abort();
    return 0;
}
