#include "ZipBlockDeflate.h"

#include "ZipException.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <array>

namespace {

constexpr int kDefaultLevel = 6;
constexpr int kSampleLevel = 1;
// Already compressed data saves a percent or two at most; below that, storing is
// as good and costs no core.
constexpr std::size_t kGainPercent = 97;
// Up to this size a buffer is compressed by the small zlib stream: its window of
// 512 bytes covers the whole buffer, and resetting it clears only 1 KiB of tables.
constexpr std::size_t kTinySize = 512;
constexpr int kTinyWindowBits = 9;
constexpr int kTinyMemLevel = 2;

libdeflate_compressor* NewCompressor(int level)
{
    libdeflate_compressor* compressor = libdeflate_alloc_compressor(level);
    if (!compressor)
        throw CZipException(CZipException::ErrNoMemory);
    return compressor;
}

// A raw inflate stream that frees itself.
struct RawInflate
{
    z_stream z{};
    RawInflate()
    {
        if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
            throw CZipException(CZipException::ErrNoMemory);
    }
    ~RawInflate() { inflateEnd(&z); }
    RawInflate(const RawInflate&) = delete;
    RawInflate& operator=(const RawInflate&) = delete;
};

} // namespace

CZipBlockDeflate::CZipBlockDeflate(int level)
    : m_level(level < 1 || level > 9 ? kDefaultLevel : level), m_compressor(NewCompressor(m_level))
{
}

CZipBlockDeflate::~CZipBlockDeflate()
{
    libdeflate_free_compressor(m_compressor);
    if (m_tiny)
        deflateEnd(m_tiny.get());
}

bool CZipBlockDeflate::CompressWhole(const char* data, std::size_t size, std::size_t limit,
                                     std::string& out)
{
    if (size <= kTinySize)
        return CompressTiny(data, size, limit, out);
    out.resize(std::min(limit, libdeflate_deflate_compress_bound(m_compressor, size)));
    const std::size_t written =
        out.empty() ? 0 : libdeflate_deflate_compress(m_compressor, data, size, out.data(), out.size());
    out.resize(written < limit ? written : 0);
    return !out.empty();
}

bool CZipBlockDeflate::CompressTiny(const char* data, std::size_t size, std::size_t limit,
                                    std::string& out)
{
    if (!m_tiny) {
        auto stream = std::make_unique<z_stream>();
        if (deflateInit2(stream.get(), m_level, Z_DEFLATED, -kTinyWindowBits, kTinyMemLevel,
                         Z_DEFAULT_STRATEGY) != Z_OK)
            throw CZipException(CZipException::ErrNoMemory);
        m_tiny = std::move(stream);
    } else if (deflateReset(m_tiny.get()) != Z_OK) {
        throw CZipException(CZipException::ErrInternal);
    }
    z_stream& z = *m_tiny;
    out.resize(std::min<std::size_t>(limit, deflateBound(&z, static_cast<uLong>(size))));
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    z.avail_in = static_cast<uInt>(size);
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    // Z_OK or Z_BUF_ERROR: the output reached the limit before the end.
    const bool whole = ::deflate(&z, Z_FINISH) == Z_STREAM_END && z.total_out < limit;
    out.resize(whole ? static_cast<std::size_t>(z.total_out) : 0);
    return whole;
}

void CZipBlockDeflate::CompressPiece(const char* data, std::size_t size, std::string& out)
{
    out.resize(libdeflate_deflate_compress_bound(m_compressor, size));
    const std::size_t written =
        libdeflate_deflate_compress(m_compressor, data, size, out.data(), out.size());
    if (written == 0)
        throw CZipException(CZipException::ErrInternal); // the bound always fits
    out.resize(written);
    MakeJoinable(out);
}

std::string CZipBlockDeflate::FinalBlock()
{
    // A final block of fixed codes holding nothing but its end code: the bits
    // 1, 10 (reversed to 01), 0000000.
    return std::string("\x03\x00", 2);
}

bool CZipBlockDeflate::LooksCompressible(const char* data, std::size_t size)
{
    thread_local CZipBlockDeflate sampler(kSampleLevel);
    std::string out;
    return sampler.CompressWhole(data, size, size * kGainPercent / 100, out);
}

std::uint32_t CZipBlockDeflate::Crc32(std::uint32_t crc, const char* data, std::size_t size)
{
    return libdeflate_crc32(crc, data, size);
}

std::uint32_t CZipBlockDeflate::CombineCrc(std::uint32_t first, std::uint32_t second,
                                           std::uint64_t secondSize)
{
    return static_cast<std::uint32_t>(
        crc32_combine64(first, second, static_cast<z_off64_t>(secondSize)));
}

// Finds where the last block starts and where the data ends by inflating the
// stream block by block (zlib stops at each block boundary and tells the bit
// position), clears that block's final bit, and ends the stream after an empty
// stored block, which brings it to a byte boundary.
void CZipBlockDeflate::MakeJoinable(std::string& stream)
{
    RawInflate inflate;
    z_stream& z = inflate.z;
    auto* begin = reinterpret_cast<Bytef*>(stream.data());
    z.next_in = begin;
    z.avail_in = static_cast<uInt>(stream.size());
    const auto bitPosition = [&] {
        return static_cast<std::uint64_t>(z.next_in - begin) * 8 -
               static_cast<std::uint64_t>(z.data_type & 7);
    };
    std::array<Bytef, 65536> window;
    std::uint64_t lastStart = 0;
    for (;;) {
        z.next_out = window.data();
        z.avail_out = static_cast<uInt>(window.size());
        const int result = ::inflate(&z, Z_BLOCK);
        const bool boundary = (z.data_type & 128) != 0;
        if (result == Z_STREAM_END || (result == Z_OK && boundary && (z.data_type & 64) != 0))
            break; // the end of the last block
        if (result != Z_OK || (!boundary && z.avail_in == 0 && z.avail_out != 0))
            throw CZipException(CZipException::ErrInternal); // our own output is whole
        if (boundary)
            lastStart = bitPosition();
    }
    const std::uint64_t end = bitPosition();
    stream[lastStart / 8] = static_cast<char>(stream[lastStart / 8] & ~(1 << (lastStart % 8)));
    // Keep the bits before `end`, then three zero bits (a stored block, not final)
    // and the padding to the byte boundary.
    const std::size_t whole = static_cast<std::size_t>(end / 8);
    stream.resize(static_cast<std::size_t>((end + 3 + 7) / 8), '\0');
    stream[whole] = static_cast<char>(stream[whole] & ((1 << (end % 8)) - 1));
    std::fill(stream.begin() + static_cast<std::ptrdiff_t>(whole) + 1, stream.end(), '\0');
    stream.append("\x00\x00\xFF\xFF", 4);
}
