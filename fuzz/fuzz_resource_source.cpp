// Feeds arbitrary bytes to the parsers of the resource sources (numbered texts
// and the page listing). A refusal is a CResGenError; anything else (a crash, an
// overrun, another exception) is a fault.
#include "PageListing.h"
#include "ResGenError.h"
#include "SourceText.h"
#include "TextSource.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    try {
        CTextSource::Parse(bytes, "fuzz.txt");
    } catch (const CResGenError&) {
    }
    try {
        CPageListing::ParseNames(bytes, "fuzz.txt");
    } catch (const CResGenError&) {
    }
    resgen::IsValidUtf8(bytes);
    return 0;
}
