// Pieces compressed apart and joined are one deflate stream that zlib reads back
// exactly, whatever the data and wherever the piece borders fall.
#include "TestZip.h"
#include "ZipBlockDeflate.h"
#include "ZipWriterTestUtil.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace tbmtest;

namespace {

std::string Inflate(const std::string& stream, std::size_t expected)
{
    std::string out(expected + 16, '\0');
    z_stream z{};
    EXPECT_EQ(inflateInit2(&z, -MAX_WBITS), Z_OK);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.data()));
    z.avail_in = static_cast<uInt>(stream.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END);
    EXPECT_EQ(z.avail_in, 0u); // nothing after the final block
    out.resize(z.total_out);
    inflateEnd(&z);
    return out;
}

std::string Text(std::size_t size)
{
    std::string text;
    for (unsigned i = 0; text.size() < size; ++i)
        text += "line " + std::to_string(i * 7919 % 1000) + " of the notes\n";
    text.resize(size);
    return text;
}

struct Joined
{
    std::string stream;
    std::uint32_t crc = 0;
};

Joined CompressInPieces(CZipBlockDeflate& deflate, const std::string& data,
                        const std::vector<std::size_t>& sizes)
{
    Joined joined;
    std::size_t at = 0;
    for (const std::size_t size : sizes) {
        std::string piece;
        deflate.CompressPiece(data.data() + at, size, piece);
        joined.stream += piece;
        joined.crc = CZipBlockDeflate::CombineCrc(
            joined.crc, CZipBlockDeflate::Crc32(0, data.data() + at, size), size);
        at += size;
    }
    joined.stream += CZipBlockDeflate::FinalBlock();
    return joined;
}

TEST(ZipBlockDeflateTest, JoinedPiecesInflateToTheDataWithTheWholeCrc)
{
    // Text, incompressible bytes (stored blocks), runs of one byte, and a mix, cut
    // in pieces of one byte, odd sizes and sizes around the stored-block limit.
    const std::string mixed = Text(200000) + RandomBytes(150000) + std::string(100000, 'a');
    const std::vector<std::pair<std::string, std::vector<std::size_t>>> cases = {
        {Text(300000), {1, 99999, 65535, 65536, 68929}},
        {RandomBytes(200000), {65535, 65536, 65537, 3392}},
        {std::string(140000, '\0'), {70000, 1, 69999}},
        {mixed, {150000, 150000, 150000}},
        {mixed, {450000}},
    };
    for (int level : {1, 6, 9}) {
        CZipBlockDeflate deflate(level);
        for (std::size_t i = 0; i < cases.size(); ++i) {
            const auto& [data, sizes] = cases[i];
            const Joined joined = CompressInPieces(deflate, data, sizes);
            const std::string back = Inflate(joined.stream, data.size());
            const auto differ = std::mismatch(back.begin(), back.end(), data.begin(), data.end());
            EXPECT_TRUE(back == data) << "level " << level << ", case " << i << ": "
                                      << back.size() << " bytes, first difference at "
                                      << differ.first - back.begin();
            EXPECT_EQ(joined.crc, Crc(data)) << "level " << level << ", case " << i;
        }
    }
}

TEST(ZipBlockDeflateTest, WholeStreamOnlyWhenItGains)
{
    CZipBlockDeflate deflate(6);
    std::string out;
    const std::string text = Text(50000);
    ASSERT_TRUE(deflate.CompressWhole(text.data(), text.size(), text.size() + 1, out));
    EXPECT_EQ(Inflate(out, text.size()), text);
    const std::string noise = RandomBytes(50000);
    EXPECT_FALSE(deflate.CompressWhole(noise.data(), noise.size(), noise.size() + 1, out));
    EXPECT_TRUE(out.empty());
    EXPECT_TRUE(CZipBlockDeflate::LooksCompressible(text.data(), text.size()));
    EXPECT_FALSE(CZipBlockDeflate::LooksCompressible(noise.data(), noise.size()));
}

} // namespace
