#pragma once

#include "ZipZlibMemory.h"

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

// A raw inflate stream (window bits -15) for the entry being read. zlib's memory is
// allocated through this object and every block still held is freed when the entry
// ends, also after an error half-way through a damaged stream.
class CZipInflate
{
public:
    CZipInflate() = default;
    ~CZipInflate() { End(); }
    CZipInflate(const CZipInflate&) = delete;
    CZipInflate& operator=(const CZipInflate&) = delete;

    // zlib errors are thrown (500-507) with `fileName`.
    void Begin(const std::string& fileName);
    // Inflates from `in` into `out` with Z_SYNC_FLUSH; `consumed` and `produced`
    // tell how much of each was used. True at the end of the deflate stream.
    bool Run(const char* in, std::uint32_t inSize, char* out, std::uint32_t outSize,
             std::uint32_t& consumed, std::uint32_t& produced, const std::string& fileName);
    void End();

    bool IsActive() const { return m_active; }
    std::size_t GetBlockCount() const { return m_memory.GetBlockCount(); }

private:
    z_stream m_stream{};
    bool m_active = false;
    CZipZlibMemory m_memory;
};
