#include "ZipSpanCompaction.h"

#include "TestZip.h"

#include <gtest/gtest.h>

#include <functional>

using namespace tbmtest;

namespace {

struct Volume
{
    std::string bytes;
    std::vector<CZipSpanEntry> entries;
};

CZipSpanEntry SpanOf(const std::string& data, std::uint32_t offset, std::uint16_t flags)
{
    const auto size = static_cast<std::uint32_t>(data.size());
    return {offset, static_cast<std::uint16_t>(0x0008 | flags), Crc(data), size, size};
}

// signature, "a" (plain), "b" (marked encrypted), "c" (plain)
Volume ThreeEntries()
{
    Volume v{"PK\x07\x08", {}};
    const std::pair<const char*, std::uint16_t> entries[] = {{"a", 0}, {"b", 1}, {"c", 0}};
    for (const auto& [name, flags] : entries) {
        const std::string data = Pattern(20, static_cast<unsigned>(name[0]));
        v.entries.push_back(SpanOf(data, static_cast<std::uint32_t>(v.bytes.size()), flags));
        v.bytes += SpannedEntry(name, data, flags);
    }
    return v;
}

std::uint32_t Get32(const std::string& s, std::size_t at)
{
    return static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8 |
           static_cast<unsigned char>(s[at + 2]) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 3])) << 24;
}

TEST(ZipSpanCompactionTest, DropsSignatureAndDescriptorsOfUnencryptedEntries)
{
    Volume v = ThreeEntries();
    const std::uint32_t before = static_cast<std::uint32_t>(v.bytes.size());
    EXPECT_EQ(36u, SpanCompactionSavings(v.entries));
    std::uint32_t length = before;
    ASSERT_TRUE(CompactSpannedVolume(v.bytes.data(), length, v.entries));
    EXPECT_EQ(before - 36, length);
    const std::string out = v.bytes.substr(0, length);

    EXPECT_EQ(0u, v.entries[0].offset);
    EXPECT_EQ(51u, v.entries[1].offset);      // 30 + 1 + 20
    EXPECT_EQ(51u + 67, v.entries[2].offset); // "b" keeps its descriptor
    for (const CZipSpanEntry& e : v.entries) {
        EXPECT_EQ(0x04034B50u, Get32(out, e.offset));
        EXPECT_EQ(e.crc, Get32(out, e.offset + 14));
        EXPECT_EQ(20u, Get32(out, e.offset + 18));
        EXPECT_EQ(20u, Get32(out, e.offset + 22));
        EXPECT_EQ(e.flags & 0x0008, out[e.offset + 6] & 0x0008);
    }
    EXPECT_EQ(0x00, v.entries[0].flags);
    EXPECT_EQ(0x09, v.entries[1].flags);
    EXPECT_EQ(0x08074B50u, Get32(out, 51 + 51)); // b's descriptor is still there
    EXPECT_EQ(Pattern(20, 'c'), out.substr(v.entries[2].offset + 31, 20));
    EXPECT_EQ(length, v.entries[2].offset + 51);
}

TEST(ZipSpanCompactionTest, BytesLeftBehindAFailedEntryStayWithTheEntryBefore)
{
    Volume v = ThreeEntries();
    v.entries.pop_back();
    v.bytes.resize(v.entries[1].offset + 67);
    v.bytes.insert(v.entries[1].offset, "junk");
    v.entries[1].offset += 4;
    std::uint32_t length = static_cast<std::uint32_t>(v.bytes.size());
    ASSERT_TRUE(CompactSpannedVolume(v.bytes.data(), length, v.entries));
    EXPECT_EQ("junk", v.bytes.substr(51, 4)); // the descriptor before it went, the junk stayed
    EXPECT_EQ(55u, v.entries[1].offset);
}

TEST(ZipSpanCompactionTest, AnEmptyArchiveLosesOnlyTheSignature)
{
    std::string bytes = "PK\x07\x08";
    std::vector<CZipSpanEntry> none;
    std::uint32_t length = 4;
    ASSERT_TRUE(CompactSpannedVolume(bytes.data(), length, none));
    EXPECT_EQ(0u, length);
}

using Damage = std::function<void(Volume&)>;

class ZipSpanCompactionRefusalTest : public ::testing::TestWithParam<Damage>
{
};

TEST_P(ZipSpanCompactionRefusalTest, LeavesEverythingUntouched)
{
    Volume v = ThreeEntries();
    GetParam()(v);
    const Volume before = v;
    std::uint32_t length = static_cast<std::uint32_t>(v.bytes.size());
    EXPECT_FALSE(CompactSpannedVolume(v.bytes.data(), length, v.entries));
    EXPECT_EQ(before.bytes, v.bytes);
    EXPECT_EQ(before.bytes.size(), length);
    for (std::size_t i = 0; i < v.entries.size(); ++i) {
        EXPECT_EQ(before.entries[i].offset, v.entries[i].offset);
        EXPECT_EQ(before.entries[i].flags, v.entries[i].flags);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Damaged, ZipSpanCompactionRefusalTest,
    ::testing::Values(
        Damage([](Volume& v) { v.bytes[0] = 'X'; }),                      // no spanning signature
        Damage([](Volume& v) { v.bytes[v.entries[2].offset] = 'X'; }),    // no local header
        Damage([](Volume& v) { std::swap(v.entries[0], v.entries[1]); }), // out of order
        Damage([](Volume& v) { v.entries[1].offset = v.entries[0].offset; }),
        Damage([](Volume& v) { v.entries[0].offset = 2; }),            // inside the signature
        Damage([](Volume& v) { v.entries[0].compressedSize += 10; }),  // data overruns the span
        Damage([](Volume& v) { v.bytes.resize(v.bytes.size() - 1); }), // last descriptor cut
        Damage([](Volume& v) { v.entries[2].offset = 0xFFFFFFF0u; }),  // beyond the data
        Damage([](Volume& v) { v.bytes[v.entries[0].offset + 26] = '\x7F'; }))); // name too long

} // namespace
