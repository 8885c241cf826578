// The mount table is read from /proc, but its lines carry names users choose
// (labels, mount folders), so the parser must take anything.
#include "ZipMountTable.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const CZipMountTable table = CZipMountTable::Parse(text);
    for (const CZipMountTable::Entry& entry : table.Entries()) {
        if (entry.mountPoint.empty() || entry.mountPoint[0] != '/')
            std::abort();
        const CZipMountTable::Entry* found = table.FindMount(entry.mountPoint);
        if (!found || found->mountPoint.size() < entry.mountPoint.size())
            std::abort();
    }
    CZipMountTable::Unescape(text);
    return 0;
}
