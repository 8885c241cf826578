// Decodes arbitrary bytes as every kind of archive-form array. Whatever decodes must
// encode back to a form that decodes to the same array.
#include "RegistryArchive.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <list>
#include <string>
#include <vector>

namespace {

template <class Container> void RoundTrip(const std::uint8_t* data, std::size_t size)
{
    Container decoded;
    if (!CRegistryArchive::Decode(data, size, decoded))
        return;
    std::vector<std::uint8_t> form;
    if (!CRegistryArchive::Encode(decoded, form))
        std::abort();
    Container again;
    if (!CRegistryArchive::Decode(form.data(), form.size(), again) || again != decoded)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    RoundTrip<std::vector<std::uint8_t>>(data, size);
    RoundTrip<std::vector<std::uint16_t>>(data, size);
    RoundTrip<std::vector<std::uint32_t>>(data, size);
    RoundTrip<std::vector<std::string>>(data, size);
    RoundTrip<std::list<std::string>>(data, size);
    return 0;
}
