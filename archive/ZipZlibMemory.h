#pragma once

#include <zlib.h>

#include <cstddef>
#include <vector>

// zlib's memory for one stream: every block is allocated here and kept in a list, so
// that all blocks still held are freed when an entry ends, also after an error
// half-way through a damaged stream, where zlib's own end call may not run.
class CZipZlibMemory
{
public:
    CZipZlibMemory() = default;
    CZipZlibMemory(const CZipZlibMemory&) = delete;
    CZipZlibMemory& operator=(const CZipZlibMemory&) = delete;
    ~CZipZlibMemory() { FreeAll(); }

    // Points the stream's allocator at this object.
    void Attach(z_stream& stream);
    void FreeAll();
    std::size_t GetBlockCount() const { return m_blocks.size(); }

private:
    static voidpf Allocate(voidpf self, uInt items, uInt size);
    static void Free(voidpf self, voidpf block);

    std::vector<void*> m_blocks;
};
