#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct libdeflate_decompressor;

// Inflates an entry whose data fits a buffer in one call through libdeflate, which
// is about twice as fast as zlib's streaming inflate; the reader then hands the
// result out piece by piece as it would hand out a stream's output. Larger entries
// stay with the stream.
class CZipWholeInflate
{
public:
    // Entries up to this size, packed and unpacked, are inflated whole.
    static constexpr std::uint64_t MaxSize = std::uint64_t{4} << 20;

    CZipWholeInflate() = default;
    ~CZipWholeInflate();
    CZipWholeInflate(const CZipWholeInflate&) = delete;
    CZipWholeInflate& operator=(const CZipWholeInflate&) = delete;

    static bool Fits(std::uint64_t compressed, std::uint64_t uncompressed)
    {
        return compressed <= MaxSize && uncompressed <= MaxSize;
    }
    // Room for the entry's `size` bytes of compressed data, to be filled by the caller.
    char* Input(std::uint32_t size);
    // Inflates the input, which should give `expected` bytes. A stream that ends
    // early gives what it holds, as a stream would; data that is not deflate, a
    // stream that runs past its input or gives more than expected is damage,
    // thrown as zlib's data error with `fileName`.
    void Inflate(std::uint64_t expected, const std::string& fileName);
    // Up to `room` bytes of the output; `ended` once all of it was handed out.
    std::uint32_t Take(char* out, std::uint32_t room, bool& ended);
    bool IsInflated() const { return m_inflated; }
    void Clear();

private:
    libdeflate_decompressor* m_decompressor = nullptr; // made at the first entry
    std::vector<char> m_input;
    std::size_t m_inputSize = 0;
    std::vector<char> m_output;
    std::size_t m_outputSize = 0;
    std::size_t m_taken = 0;
    bool m_inflated = false;
};
