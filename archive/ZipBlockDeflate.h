#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

struct libdeflate_compressor;
struct z_stream_s;

// Whole-buffer raw deflate through libdeflate, several times faster than zlib's
// streaming deflate at the same level and ratio. One object per thread: the
// compressor holds large tables and is not shared.
//
// A buffer is compressed either as a complete stream, or as a joinable piece: a
// stream whose last block is not marked final and which ends byte-aligned after an
// empty stored block (what zlib's sync flush writes). Pieces compressed apart,
// written one after another and closed by FinalBlock(), are one ordinary deflate
// stream that every reader inflates, so one large file can be compressed by many
// threads at once.
//
// Tiny buffers go through a small zlib stream that is reset between calls: libdeflate
// clears its large tables on every call, which costs more than compressing a few
// hundred bytes.
class CZipBlockDeflate
{
public:
    explicit CZipBlockDeflate(int level);
    ~CZipBlockDeflate();
    CZipBlockDeflate(const CZipBlockDeflate&) = delete;
    CZipBlockDeflate& operator=(const CZipBlockDeflate&) = delete;

    // A complete stream of `data` into `out`; false, with `out` cleared, when it
    // would not be smaller than `limit` bytes.
    bool CompressWhole(const char* data, std::size_t size, std::size_t limit, std::string& out);
    // A joinable piece of `data` (at least one byte).
    void CompressPiece(const char* data, std::size_t size, std::string& out);
    // The empty final block that closes a stream of joined pieces.
    static std::string FinalBlock();
    // Compresses a sample quickly and says whether the data looks worth
    // compressing at all (already compressed media does not).
    static bool LooksCompressible(const char* data, std::size_t size);

    static std::uint32_t Crc32(std::uint32_t crc, const char* data, std::size_t size);
    // The CRC of two pieces joined, from the CRC of each and the second's length.
    static std::uint32_t CombineCrc(std::uint32_t first, std::uint32_t second,
                                    std::uint64_t secondSize);

private:
    static void MakeJoinable(std::string& stream);
    bool CompressTiny(const char* data, std::size_t size, std::size_t limit, std::string& out);

    int m_level;
    libdeflate_compressor* m_compressor = nullptr;
    std::unique_ptr<z_stream_s> m_tiny; // made at the first tiny buffer
};
