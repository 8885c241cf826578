#include "ZipZlibMemory.h"

#include <algorithm>
#include <cstdlib>

void CZipZlibMemory::Attach(z_stream& stream)
{
    stream.zalloc = &CZipZlibMemory::Allocate;
    stream.zfree = &CZipZlibMemory::Free;
    stream.opaque = this;
}

void CZipZlibMemory::FreeAll()
{
    for (void* block : m_blocks)
        std::free(block);
    m_blocks.clear();
}

voidpf CZipZlibMemory::Allocate(voidpf self, uInt items, uInt size)
{
    auto* owner = static_cast<CZipZlibMemory*>(self);
    void* block = std::calloc(items, size);
    if (!block)
        return Z_NULL;
    try {
        owner->m_blocks.push_back(block);
    } catch (...) {
        std::free(block);
        return Z_NULL;
    }
    return block;
}

void CZipZlibMemory::Free(voidpf self, voidpf block)
{
    auto& blocks = static_cast<CZipZlibMemory*>(self)->m_blocks;
    const auto found = std::find(blocks.begin(), blocks.end(), block);
    if (found != blocks.end())
        blocks.erase(found);
    std::free(block);
}
