// Central directories of untrusted archives, opened for appending: reading must
// fail cleanly (101/116) or give a directory that survives an append and a close,
// and reads back with the same entries.
#include "ZipContainer.h"
#include "ZipException.h"
#include "ZipMemoryFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 1 << 20)
        return 0;
    CZipMemoryFile memory;
    memory.Write(data, static_cast<std::uint32_t>(size));
    std::size_t entries = 0;
    try {
        CZipContainer zip;
        zip.SetBuffers(1024, 1024, 1024);
        zip.Open(memory, CZipContainer::ArcOpen);
        CZipEntryHeader header;
        header.m_fileName = "added";
        if (zip.OpenNewFile(header, 6)) {
            zip.WriteNewFile(data, static_cast<std::uint32_t>(size));
            zip.CloseNewFile();
        }
        entries = zip.GetCount();
        zip.Close();
    } catch (const CZipException&) {
        return 0;
    }
    CZipContainer again;
    again.Open(memory, CZipContainer::ArcOpenReadOnly); // what we wrote must read back
    if (again.GetCount() != entries)
        std::abort();
    return 0;
}
