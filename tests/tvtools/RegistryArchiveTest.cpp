#include "RegistryArchive.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <list>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes Head(const Bytes& bytes, std::size_t count)
{
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
}

template <class Container> Bytes Encoded(const Container& in)
{
    Bytes out;
    EXPECT_TRUE(CRegistryArchive::Encode(in, out));
    return out;
}

} // namespace

struct CountCase
{
    std::size_t count;
    Bytes prefix;
};

class RegistryArchiveCountTest : public ::testing::TestWithParam<CountCase>
{
};

TEST_P(RegistryArchiveCountTest, CountPrefixAndRoundTrip)
{
    const CountCase& c = GetParam();
    std::vector<std::uint16_t> words(c.count);
    for (std::size_t i = 0; i < c.count; ++i)
        words[i] = static_cast<std::uint16_t>(i * 7);
    const Bytes form = Encoded(words);
    ASSERT_EQ(c.prefix.size() + 2 * c.count, form.size());
    EXPECT_EQ(c.prefix, Head(form, c.prefix.size()));

    std::vector<std::uint16_t> back;
    ASSERT_TRUE(CRegistryArchive::Decode(form.data(), form.size(), back));
    EXPECT_EQ(words, back);
}

INSTANTIATE_TEST_SUITE_P(Counts, RegistryArchiveCountTest,
                         ::testing::Values(CountCase{0, {0x00, 0x00}}, CountCase{1, {0x01, 0x00}},
                                           CountCase{0xFFFE, {0xFE, 0xFF}},
                                           CountCase{0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
                                           CountCase{0x10000,
                                                     {0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}}));

struct LengthCase
{
    std::size_t length;
    Bytes prefix;
};

class RegistryArchiveStringTest : public ::testing::TestWithParam<LengthCase>
{
};

TEST_P(RegistryArchiveStringTest, LengthPrefixAndRoundTrip)
{
    const LengthCase& c = GetParam();
    const std::vector<std::string> strings = {std::string(c.length, 'w'), "tail"};
    const Bytes form = Encoded(strings);
    const Bytes expectedHead = [&] {
        Bytes head = {0x02, 0x00};
        head.insert(head.end(), c.prefix.begin(), c.prefix.end());
        return head;
    }();
    ASSERT_EQ(expectedHead.size() + c.length + 5, form.size());
    EXPECT_EQ(expectedHead, Head(form, expectedHead.size()));

    std::vector<std::string> back;
    ASSERT_TRUE(CRegistryArchive::Decode(form.data(), form.size(), back));
    EXPECT_EQ(strings, back);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, RegistryArchiveStringTest,
    ::testing::Values(LengthCase{0, {0x00}}, LengthCase{254, {0xFE}},
                      LengthCase{255, {0xFF, 0xFF, 0x00}}, LengthCase{300, {0xFF, 0x2C, 0x01}},
                      LengthCase{0xFFFD, {0xFF, 0xFD, 0xFF}},
                      LengthCase{0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
                      LengthCase{0x10000, {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}}));

TEST(RegistryArchiveTest, ElementsAreLittleEndian)
{
    EXPECT_EQ((Bytes{2, 0, 0xAB, 0xCD}), Encoded(Bytes{0xAB, 0xCD}));
    EXPECT_EQ((Bytes{1, 0, 0x34, 0x12}), Encoded(std::vector<std::uint16_t>{0x1234}));
    EXPECT_EQ((Bytes{1, 0, 0x78, 0x56, 0x34, 0x12}),
              Encoded(std::vector<std::uint32_t>{0x12345678}));
    EXPECT_EQ((Bytes{2, 0, 1, 'b', 2, 'a', 'c'}), Encoded(std::list<std::string>{"b", "ac"}));
}

TEST(RegistryArchiveTest, EncodeAppendsToWhatIsThere)
{
    Bytes out = {0xEE};
    ASSERT_TRUE(CRegistryArchive::Encode(Bytes{5}, out));
    EXPECT_EQ((Bytes{0xEE, 1, 0, 5}), out);
}

// Every proper prefix of a valid form is truncated: decoding fails and leaves the
// output as it was.
TEST(RegistryArchiveTest, EveryTruncationFailsAndLeavesTheOutput)
{
    const Bytes strings = Encoded(std::vector<std::string>{"a", std::string(300, 'b'), ""});
    const Bytes dwords = Encoded(std::vector<std::uint32_t>{1, 2, 3});
    for (std::size_t size = 0; size < strings.size(); ++size) {
        std::vector<std::string> out = {"kept"};
        EXPECT_FALSE(CRegistryArchive::Decode(strings.data(), size, out)) << size;
        EXPECT_EQ(std::vector<std::string>{"kept"}, out);
    }
    for (std::size_t size = 0; size < dwords.size(); ++size) {
        std::vector<std::uint32_t> out = {7};
        EXPECT_FALSE(CRegistryArchive::Decode(dwords.data(), size, out)) << size;
        EXPECT_EQ(std::vector<std::uint32_t>{7}, out);
    }
}

TEST(RegistryArchiveTest, MalformedFormsFail)
{
    std::vector<std::string> strings;
    // 0xFF 0xFFFE is not a length prefix of this form.
    const Bytes reserved = {1, 0, 0xFF, 0xFE, 0xFF, 0, 0, 0, 0};
    EXPECT_FALSE(CRegistryArchive::Decode(reserved.data(), reserved.size(), strings));
    // A count of four billion with nothing behind it must not allocate for it.
    const Bytes huge = {0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 1, 2, 3};
    Bytes bytes;
    EXPECT_FALSE(CRegistryArchive::Decode(huge.data(), huge.size(), bytes));
    std::list<std::string> list;
    EXPECT_FALSE(CRegistryArchive::Decode(huge.data(), huge.size(), list));
    EXPECT_FALSE(CRegistryArchive::Decode(nullptr, 0, bytes));
}

TEST(RegistryArchiveTest, BytesAfterTheArrayAreIgnored)
{
    const Bytes form = {1, 0, 0x42, 0x99, 0x98};
    Bytes out;
    ASSERT_TRUE(CRegistryArchive::Decode(form.data(), form.size(), out));
    EXPECT_EQ(Bytes{0x42}, out);
}
