#pragma once

#include "ZipZlibMemory.h"

#include <zlib.h>

#include <cstdint>
#include <functional>
#include <vector>

// A raw deflate stream (no zlib header: window bits -15, memory level 8) for one
// entry. zlib's memory is allocated through this object, which records each block
// and frees whatever is still held when the entry ends, also after an error.
class CZipDeflate
{
public:
    // Called with the output buffer when it is full (and at the end); it must take
    // all `size` bytes.
    using Sink = std::function<void(char* data, std::uint32_t size)>;

    CZipDeflate() = default;
    ~CZipDeflate() { End(); }
    CZipDeflate(const CZipDeflate&) = delete;
    CZipDeflate& operator=(const CZipDeflate&) = delete;

    // Starts a stream at `level` (-1..9); zlib errors are thrown (500-507).
    void Begin(int level);
    // Compresses `size` bytes into `out` (`capacity` bytes, `used` of them taken),
    // handing the buffer to `sink` whenever it fills.
    void Compress(const char* data, std::uint32_t size, char* out, std::uint32_t capacity,
                  std::uint32_t& used, const Sink& sink);
    // Ends the data: flushes everything deflate still holds into `out` the same way.
    void Finish(char* out, std::uint32_t capacity, std::uint32_t& used, const Sink& sink);
    // Releases the stream and every block it still holds.
    void End();

    bool IsActive() const { return m_active; }
    std::uint64_t GetTotalIn() const { return m_stream.total_in; }
    std::uint64_t GetTotalOut() const { return m_stream.total_out; }
    std::size_t GetBlockCount() const { return m_memory.GetBlockCount(); }

private:
    void Run(int flush, char* out, std::uint32_t capacity, std::uint32_t& used, const Sink& sink);

    z_stream m_stream{};
    bool m_active = false;
    CZipZlibMemory m_memory;
};
