// Malformed object streams: each one is a format error, never a crash or a huge
// allocation.
#include "CheckStateString.h"
#include "ObjectStreamTestClasses.h"

#include <gtest/gtest.h>

using namespace streamtest;

namespace {

// A valid stream of two CCheckStateString records.
Bytes TwoRecords()
{
    Bytes bytes = {0x02, 0x00};
    AppendNewClass(bytes, "CCheckStateString");
    Append(bytes, {0x03, 'a', 'b', 'c', 0x02, 0x00, 0x00, 0x00});
    Append(bytes, {0x01, 0x80, 0x00, 0x01, 0x00, 0x00, 0x00});
    return bytes;
}

void ReadRecords(const Bytes& bytes)
{
    CObjectReader in(bytes);
    in.AcceptClass<CCheckStateString>();
    in.ReadObjects<CCheckStateString>();
}

} // namespace

TEST(ObjectStreamReadTest, ValidStreamReads)
{
    const Bytes bytes = TwoRecords();
    CObjectReader in(bytes);
    in.AcceptClass<CCheckStateString>();
    const auto records = in.ReadObjects<CCheckStateString>();
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ("abc", records[0]->GetKey());
    EXPECT_EQ(1u, records[1]->GetState());
}

TEST(ObjectStreamReadTest, EveryTruncationIsAFormatError)
{
    const Bytes whole = TwoRecords();
    for (std::size_t size = 0; size < whole.size(); ++size) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_THROW(ReadRecords(cut), CObjectStreamError) << size;
    }
}

TEST(ObjectStreamReadTest, BytesAfterTheListAreLeftAlone)
{
    Bytes bytes = TwoRecords();
    Append(bytes, {0xDE, 0xAD});
    CObjectReader in(bytes);
    in.AcceptClass<CCheckStateString>();
    EXPECT_EQ(2u, in.ReadObjects<CCheckStateString>().size());
    EXPECT_EQ(2u, in.GetRemaining());
}

struct BadCase
{
    const char* name;
    Bytes bytes;
};

class ObjectStreamBadTest : public ::testing::TestWithParam<BadCase>
{
};

TEST_P(ObjectStreamBadTest, IsAFormatError)
{
    EXPECT_THROW(ReadRecords(GetParam().bytes), CObjectStreamError);
}

Bytes WithClass(const std::string& name, std::uint16_t schema, const Bytes& rest)
{
    Bytes bytes = {0x01, 0x00, 0xFF, 0xFF};
    AppendU16(bytes, schema);
    AppendU16(bytes, static_cast<std::uint16_t>(name.size()));
    AppendText(bytes, name);
    Append(bytes, rest);
    return bytes;
}

Bytes AfterFirstRecord(const Bytes& secondTag)
{
    Bytes bytes = {0x02, 0x00};
    AppendNewClass(bytes, "CCheckStateString");
    Append(bytes, {0x00, 0x02, 0x00, 0x00, 0x00});
    Append(bytes, secondTag);
    Append(bytes, {0x00, 0x02, 0x00, 0x00, 0x00});
    return bytes;
}

const Bytes kRecord = {0x00, 0x01, 0x00, 0x00, 0x00};

INSTANTIATE_TEST_SUITE_P(
    Streams, ObjectStreamBadTest,
    ::testing::Values(
        BadCase{"OtherClassName", WithClass("CAddInfo", 0, kRecord)},
        BadCase{"ClassNameOtherCase", WithClass("CCheckStatestring", 0, kRecord)},
        BadCase{"OtherSchema", WithClass("CCheckStateString", 1, kRecord)},
        BadCase{"ClassNameLongerThanStream", {0x01, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x40, 0x00, 'C'}},
        BadCase{"ReferenceToUnknownClass", AfterFirstRecord({0x05, 0x80})},
        BadCase{"ReferenceToAnObjectNumber", AfterFirstRecord({0x02, 0x80})},
        BadCase{"BackReferenceToObject", AfterFirstRecord({0x02, 0x00})},
        BadCase{"WideBackReference", AfterFirstRecord({0xFF, 0x7F, 0x02, 0x00, 0x00, 0x00})},
        BadCase{"WideReferenceToUnknownClass",
                AfterFirstRecord({0xFF, 0x7F, 0x09, 0x00, 0x00, 0x80})},
        BadCase{"NullInList", {0x01, 0x00, 0x00, 0x00}},
        BadCase{"CountBeyondTheBytes", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}},
        BadCase{"StringLengthFFFE",
                WithClass("CCheckStateString", 0, {0xFF, 0xFE, 0xFF, 0x00, 0x00, 0x00, 0x00})},
        BadCase{"StringLongerThanStream",
                WithClass("CCheckStateString", 0, {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80})}),
    [](const ::testing::TestParamInfo<BadCase>& info) { return info.param.name; });

TEST(ObjectStreamReadTest, ObjectOfAnotherAcceptedClassInATypedListIsAFormatError)
{
    CObjectWriter out;
    const std::vector<CTestLabel> labels = {CTestLabel("x")};
    out.WriteObjects(labels);
    CObjectReader in(out.GetBytes());
    in.AcceptClass<CCheckStateString>();
    in.AcceptClass<CTestLabel>();
    EXPECT_THROW(in.ReadObjects<CCheckStateString>(), CObjectStreamError);
}

TEST(ObjectStreamReadTest, MessageNamesTheUnknownClassPrintably)
{
    try {
        ReadRecords(WithClass(std::string("Evil\n\x01", 6), 0, kRecord));
        FAIL() << "no format error";
    } catch (const CObjectStreamError& error) {
        EXPECT_NE(std::string::npos, std::string(error.what()).find("\"Evil??\""));
    }
}

// A count is believed as far as the bytes left could hold that many elements.
TEST(ObjectStreamReadTest, CountOfSmallElements)
{
    const Bytes three = {0x03, 0x00, 0x00, 0x00, 0x00};
    CObjectReader in(three);
    ASSERT_EQ(3u, in.ReadCount());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ("", in.ReadString());

    const Bytes four = {0x04, 0x00, 0x00, 0x00, 0x00};
    CObjectReader short_(four);
    EXPECT_THROW(short_.ReadCount(), CObjectStreamError);
    CObjectReader objects(three);
    EXPECT_THROW(objects.ReadObjects<CCheckStateString>(), CObjectStreamError);
}
