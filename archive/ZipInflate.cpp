#include "ZipInflate.h"

#include "ZipException.h"

#include <algorithm>
#include <cstdlib>

voidpf CZipInflate::Allocate(voidpf self, uInt items, uInt size)
{
    auto* owner = static_cast<CZipInflate*>(self);
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

void CZipInflate::Free(voidpf self, voidpf block)
{
    auto& blocks = static_cast<CZipInflate*>(self)->m_blocks;
    const auto found = std::find(blocks.begin(), blocks.end(), block);
    if (found != blocks.end())
        blocks.erase(found);
    std::free(block);
}

void CZipInflate::Begin(const std::string& fileName)
{
    End();
    m_stream = z_stream{};
    m_stream.zalloc = &CZipInflate::Allocate;
    m_stream.zfree = &CZipInflate::Free;
    m_stream.opaque = this;
    const int result = inflateInit2(&m_stream, -MAX_WBITS);
    CZipException::ThrowIfZlibError(result, fileName);
    m_active = true;
}

bool CZipInflate::Run(const char* in, std::uint32_t inSize, char* out, std::uint32_t outSize,
                      std::uint32_t& consumed, std::uint32_t& produced, const std::string& fileName)
{
    m_stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in));
    m_stream.avail_in = inSize;
    m_stream.next_out = reinterpret_cast<Bytef*>(out);
    m_stream.avail_out = outSize;
    const int result = inflate(&m_stream, Z_SYNC_FLUSH);
    consumed = inSize - m_stream.avail_in;
    produced = outSize - m_stream.avail_out;
    if (result == Z_STREAM_END)
        return true;
    // No progress with input and room available means the stream cannot go on;
    // zlib reports it as a buffer error, which is damage here.
    CZipException::ThrowIfZlibError(result, fileName);
    return false;
}

void CZipInflate::End()
{
    if (m_active)
        inflateEnd(&m_stream);
    m_active = false;
    for (void* block : m_blocks)
        std::free(block);
    m_blocks.clear();
    m_stream = z_stream{};
}
