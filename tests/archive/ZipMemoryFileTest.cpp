#include "ZipMemoryFile.h"
#include "ZipException.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

std::string Contents(const CZipMemoryFile& f)
{
    return std::string(f.GetData(), f.GetLength());
}

int CauseOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const CZipException& e) {
        return e.GetCause();
    }
    return 0;
}

TEST(ZipMemoryFileTest, GrowsByWholeStepsToCoverTheNewEnd)
{
    CZipMemoryFile f(10);
    EXPECT_TRUE(f.IsClosed());
    f.Write("abc", 3);
    EXPECT_FALSE(f.IsClosed());
    EXPECT_EQ(10u, f.GetCapacity());
    f.Write("0123456789abcdefghij", 20); // end 23: two more steps
    EXPECT_EQ(30u, f.GetCapacity());
    EXPECT_EQ(23u, f.GetLength());
    EXPECT_EQ("abc0123456789abcdefghij", Contents(f));
}

TEST(ZipMemoryFileTest, ReadCopiesWhatIsLeftAfterThePosition)
{
    CZipMemoryFile f;
    f.Write("hello world", 11);
    f.Seek(6, CZipStream::FromBegin);
    char buffer[32] = {};
    EXPECT_EQ(5u, f.Read(buffer, sizeof buffer));
    EXPECT_EQ("world", std::string(buffer, 5));
    EXPECT_EQ(0u, f.Read(buffer, sizeof buffer));
    f.Seek(100, CZipStream::FromBegin); // beyond the end: nothing to read
    EXPECT_EQ(0u, f.Read(buffer, sizeof buffer));
}

TEST(ZipMemoryFileTest, WritingBeyondTheEndFillsTheGapWithZeros)
{
    CZipMemoryFile f;
    f.Write("ab", 2);
    f.Seek(2, CZipStream::FromEnd);
    f.Write("z", 1);
    EXPECT_EQ(std::string("ab\0\0z", 5), Contents(f));
}

TEST(ZipMemoryFileTest, SetLengthGrowsWithZerosAndPullsThePositionBack)
{
    CZipMemoryFile f(4);
    f.Write("abcdef", 6);
    f.SetLength(3);
    EXPECT_EQ(3u, f.GetPosition());
    EXPECT_EQ("abc", Contents(f));
    f.SeekToBegin();
    f.SetLength(9);
    EXPECT_EQ(0u, f.GetPosition());
    EXPECT_GE(f.GetCapacity(), 9u);
    EXPECT_EQ(std::string("abc\0\0\0\0\0\0", 9), Contents(f));
}

TEST(ZipMemoryFileTest, RefusedGrowthAndSeeksAreErrors)
{
    CZipMemoryFile noGrowth(0);
    EXPECT_EQ(505, CauseOf([&] { noGrowth.Write("x", 1); }));

    CZipMemoryFile f;
    f.Write("abc", 3);
    EXPECT_EQ(22, CauseOf([&] { f.Seek(-4, CZipStream::FromEnd); }));
    EXPECT_EQ(3u, f.GetPosition()); // a refused seek moves nothing
    EXPECT_EQ(27, CauseOf([&] { f.Seek(INT64_MAX, CZipStream::FromCurrent); }));
    EXPECT_EQ(3u, f.GetPosition());
    EXPECT_EQ(3u, f.GetLength());
}

TEST(ZipMemoryFileTest, AttachedMemoryIsUsedInPlaceAndCopiedWhenItMustGrow)
{
    char block[4] = {'w', 'x', 'y', 'z'};
    CZipMemoryFile f;
    f.Attach(block, 4);
    EXPECT_FALSE(f.OwnsMemory());
    f.Write("A", 1);
    EXPECT_EQ('A', block[0]);
    f.SeekToEnd();
    EXPECT_EQ(505, CauseOf([&] { f.Write("!", 1); })); // attached without a grow step

    f.Attach(block, 4, 8);
    f.SeekToEnd();
    f.Write("!", 1);
    EXPECT_TRUE(f.OwnsMemory());
    EXPECT_EQ("Axyz!", Contents(f));
    EXPECT_EQ('z', block[3]); // the caller's block is untouched by the growth
}

TEST(ZipMemoryFileTest, CloseForgetsEverything)
{
    CZipMemoryFile f;
    f.Write("abc", 3);
    f.Close();
    EXPECT_TRUE(f.IsClosed());
    EXPECT_EQ(0u, f.GetLength());
    EXPECT_EQ(0u, f.GetPosition());
    EXPECT_EQ("", f.GetFilePath());
}

} // namespace
