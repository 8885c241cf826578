// Byte-exact forms of the object stream, built by hand, and their reading back.
#include "CheckStateString.h"
#include "ObjectStreamTestClasses.h"

#include <gtest/gtest.h>

using namespace streamtest;

namespace {

Bytes CheckRecord(const std::string& key, std::uint32_t state)
{
    Bytes bytes = {static_cast<std::uint8_t>(key.size())};
    AppendText(bytes, key);
    AppendU32(bytes, state);
    return bytes;
}

std::vector<CCheckStateString> ReadRecords(const Bytes& bytes)
{
    CObjectReader in(bytes);
    in.AcceptClass<CCheckStateString>();
    std::vector<CCheckStateString> records;
    for (const auto& record : in.ReadObjects<CCheckStateString>())
        records.push_back(*record);
    return records;
}

} // namespace

TEST(ObjectStreamWriteTest, EmptyListIsAZeroCount)
{
    CObjectWriter out;
    out.WriteObjects(std::vector<CCheckStateString>());
    EXPECT_EQ(Bytes({0x00, 0x00}), out.GetBytes());
    EXPECT_TRUE(ReadRecords(out.GetBytes()).empty());
}

TEST(ObjectStreamWriteTest, SecondObjectOfAClassIsIntroducedBy8001)
{
    const std::vector<CCheckStateString> records = {{"Favorites", 2}, {"Fonts", 1}, {"", 5}};
    CObjectWriter out;
    out.WriteObjects(records);

    Bytes expected = {0x03, 0x00};
    AppendNewClass(expected, "CCheckStateString");
    Append(expected, CheckRecord("Favorites", 2));
    Append(expected, {0x01, 0x80});
    Append(expected, CheckRecord("Fonts", 1));
    Append(expected, {0x01, 0x80});
    Append(expected, CheckRecord("", 5));
    EXPECT_EQ(expected, out.GetBytes());
    EXPECT_EQ(records, ReadRecords(expected));
}

TEST(ObjectStreamWriteTest, SeventyThousandEntriesUseTheCountEscape)
{
    std::vector<CCheckStateString> records;
    for (std::uint32_t i = 0; i < 70000; ++i)
        records.emplace_back(std::to_string(i), i % 6);
    CObjectWriter out;
    out.WriteObjects(records);

    Bytes expected = {0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00};
    AppendNewClass(expected, "CCheckStateString");
    for (std::uint32_t i = 0; i < 70000; ++i) {
        if (i > 0)
            Append(expected, {0x01, 0x80});
        Append(expected, CheckRecord(std::to_string(i), i % 6));
    }
    ASSERT_EQ(expected, out.GetBytes());
    EXPECT_EQ(records, ReadRecords(expected));
}

TEST(ObjectStreamWriteTest, NullObjectIsZeroAndReadsAsNull)
{
    CObjectWriter out;
    out.WriteObject(nullptr);
    EXPECT_EQ(Bytes({0x00, 0x00}), out.GetBytes());
    CObjectReader in(out.GetBytes());
    EXPECT_EQ(nullptr, in.ReadObject());
    EXPECT_EQ(0u, in.GetRemaining());
}

// Classes and objects share one numbering: A = 1, a1 = 2, a2 = 3, B = 4, b1 = 5.
TEST(ObjectStreamWriteTest, TwoClassesAreNumberedWithTheirObjects)
{
    const CTestPoint a1(1, -1), a2(2, 3), a3(-7, 0x7FFFFFFF);
    const CTestLabel b1("x"), b2("yz");
    CObjectWriter out;
    for (const CStreamObject* object :
         std::vector<const CStreamObject*>{&a1, &a2, &b1, nullptr, &b2, &a3})
        out.WriteObject(object);

    Bytes expected;
    AppendNewClass(expected, "CTestPoint");
    Append(expected, {0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF});
    Append(expected, {0x01, 0x80, 0x02, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00});
    AppendNewClass(expected, "CTestLabel");
    Append(expected, {0x01, 'x'});
    Append(expected, {0x00, 0x00});
    Append(expected, {0x04, 0x80, 0x02, 'y', 'z'});
    Append(expected, {0x01, 0x80, 0xF9, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F});
    ASSERT_EQ(expected, out.GetBytes());

    CObjectReader in(expected);
    in.AcceptClass<CTestPoint>();
    in.AcceptClass<CTestLabel>();
    EXPECT_EQ(-1, in.ReadObjectAs<CTestPoint>()->y);
    EXPECT_EQ(3, in.ReadObjectAs<CTestPoint>()->y);
    EXPECT_EQ("x", in.ReadObjectAs<CTestLabel>()->text);
    EXPECT_EQ(nullptr, in.ReadObject());
    EXPECT_EQ("yz", in.ReadObjectAs<CTestLabel>()->text);
    const auto last = in.ReadObjectAs<CTestPoint>();
    EXPECT_EQ(-7, last->x);
    EXPECT_EQ(0x7FFFFFFF, last->y);
    EXPECT_EQ(0u, in.GetRemaining());
}

struct BigNumberCase
{
    int pointsBefore; // objects of class 1 before the second class appears
    Bytes secondReference;
};

class ObjectStreamBigNumberTest : public ::testing::TestWithParam<BigNumberCase>
{
};

// The second class gets number pointsBefore + 2; from 0x7FFF on its references take
// the escape 0x7FFF and u32 0x80000000 | number.
TEST_P(ObjectStreamBigNumberTest, ClassReferenceFormDependsOnTheNumber)
{
    const BigNumberCase& c = GetParam();
    std::vector<CTestPoint> points(static_cast<std::size_t>(c.pointsBefore));
    const CTestLabel first("a"), second("b");
    CObjectWriter out;
    for (const CTestPoint& point : points)
        out.WriteObject(&point);
    const std::size_t before = out.GetBytes().size();
    out.WriteObject(&first);
    out.WriteObject(&second);

    Bytes tail;
    AppendNewClass(tail, "CTestLabel");
    Append(tail, {0x01, 'a'});
    Append(tail, c.secondReference);
    Append(tail, {0x01, 'b'});
    const Bytes& bytes = out.GetBytes();
    ASSERT_EQ(tail, Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(before), bytes.end()));

    CObjectReader in(bytes);
    in.AcceptClass<CTestPoint>();
    in.AcceptClass<CTestLabel>();
    for (int i = 0; i < c.pointsBefore; ++i)
        ASSERT_NE(nullptr, in.ReadObjectAs<CTestPoint>());
    EXPECT_EQ("a", in.ReadObjectAs<CTestLabel>()->text);
    EXPECT_EQ("b", in.ReadObjectAs<CTestLabel>()->text);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, ObjectStreamBigNumberTest,
    ::testing::Values(BigNumberCase{0, {0x01, 0x80}}, BigNumberCase{0x7FFC, {0xFE, 0xFF}},
                      BigNumberCase{0x7FFD, {0xFF, 0x7F, 0xFF, 0x7F, 0x00, 0x80}},
                      BigNumberCase{0x7FFE, {0xFF, 0x7F, 0x00, 0x80, 0x00, 0x80}}));

struct StringCase
{
    std::size_t length;
    Bytes prefix;
};

class ObjectStreamStringTest : public ::testing::TestWithParam<StringCase>
{
};

TEST_P(ObjectStreamStringTest, LengthPrefixAndReadBack)
{
    const StringCase& c = GetParam();
    std::string text(c.length, 'k');
    if (!text.empty())
        text.back() = '\xFF';
    const CCheckStateString record(text, 4);
    CObjectWriter out;
    out.WriteObjects(std::vector<CCheckStateString>{record});

    Bytes expected = {0x01, 0x00};
    AppendNewClass(expected, "CCheckStateString");
    Append(expected, c.prefix);
    AppendText(expected, text);
    AppendU32(expected, 4);
    ASSERT_EQ(expected, out.GetBytes());
    EXPECT_EQ(std::vector<CCheckStateString>{record}, ReadRecords(expected));
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, ObjectStreamStringTest,
    ::testing::Values(StringCase{0, {0x00}}, StringCase{254, {0xFE}},
                      StringCase{255, {0xFF, 0xFF, 0x00}}, StringCase{0xFFFD, {0xFF, 0xFD, 0xFF}},
                      StringCase{0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
                      StringCase{0x10000, {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}}));

TEST(ObjectStreamWriteTest, RecordsReadBackFieldForField)
{
    const std::vector<CCheckStateString> records = {
        {"Outlook Express", 0},   {"{3A1C-77}", 1}, {std::string("a\0b", 3), 2},
        {"\xC3\xA9t\xC3\xA9", 3}, {"", 4},          {"Fonts", 5},
        {"wide", 0xFFFFFFFFu}};
    CObjectWriter out;
    out.WriteObjects(records);
    const std::vector<CCheckStateString> back = ReadRecords(out.GetBytes());
    ASSERT_EQ(records.size(), back.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i].GetKey(), back[i].GetKey()) << i;
        EXPECT_EQ(records[i].GetState(), back[i].GetState()) << i;
    }
}
