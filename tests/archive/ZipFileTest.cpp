#include "ZipFile.h"
#include "ZipException.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <functional>

using tbmtest::ReadFileBytes;
using tbmtest::TempDirTest;
using tbmtest::WriteFileBytes;

namespace {

constexpr unsigned kCreate =
    CZipStream::OpenCreate | CZipStream::OpenReadWrite | CZipStream::ShareDenyWrite;
constexpr unsigned kReadDenyWrite = CZipStream::OpenRead | CZipStream::ShareDenyWrite;

int CauseOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const CZipException& e) {
        return e.GetCause();
    }
    return 0;
}

class ZipFileTest : public TempDirTest
{
};

TEST_F(ZipFileTest, WritesReadsSeeksAndSetsTheLength)
{
    CZipFile f(m_dir / "a.bin", kCreate);
    f.Write("0123456789", 10);
    EXPECT_EQ(10u, f.GetPosition());
    EXPECT_EQ(10u, f.GetLength());
    EXPECT_EQ(3u, f.Seek(3, CZipStream::FromBegin));
    char buffer[16] = {};
    EXPECT_EQ(7u, f.Read(buffer, sizeof buffer));
    EXPECT_EQ("3456789", std::string(buffer, 7));
    EXPECT_EQ(8u, f.Seek(-2, CZipStream::FromEnd));
    f.SetLength(5); // pulls the position back to the new end
    EXPECT_EQ(5u, f.GetPosition());
    f.Flush();
    f.Close();
    EXPECT_TRUE(f.IsClosed());
    EXPECT_EQ("01234", ReadFileBytes(m_dir / "a.bin"));
}

TEST_F(ZipFileTest, OpenFailureThrowsTheFileErrorOrReturnsFalse)
{
    CZipFile f;
    EXPECT_FALSE(f.Open(m_dir / "missing", kReadDenyWrite, false));
    try {
        f.Open(m_dir / "missing", kReadDenyWrite, true);
        FAIL() << "no exception";
    } catch (const CZipException& e) {
        EXPECT_EQ(2, e.GetCause());
        EXPECT_EQ(m_dir / "missing", e.GetFileName());
    }
    EXPECT_EQ(21, CauseOf([&] { f.Open(m_dir.Str(), CZipStream::OpenRead, true); }));
    ASSERT_EQ(0, mkfifo((m_dir / "fifo").c_str(), 0600));
    EXPECT_EQ(22, CauseOf([&] { f.Open(m_dir / "fifo", CZipStream::OpenRead, true); }));
}

TEST_F(ZipFileTest, ShareDenyWriteExcludesOtherWritersButNotReaders)
{
    CZipFile writer(m_dir / "a.tbm", kCreate);
    writer.Write("data", 4);

    CZipFile other;
    EXPECT_EQ(100, CauseOf([&] { other.Open(m_dir / "a.tbm", kCreate, true); }));
    EXPECT_EQ(100, CauseOf([&] { other.Open(m_dir / "a.tbm", kReadDenyWrite, true); }));
    // The refused creator did not empty the file that is held.
    EXPECT_EQ(4u, writer.GetLength());
    writer.Close();

    CZipFile reader1(m_dir / "a.tbm", kReadDenyWrite);
    CZipFile reader2(m_dir / "a.tbm", kReadDenyWrite);
    EXPECT_FALSE(
        other.Open(m_dir / "a.tbm", CZipStream::OpenReadWrite | CZipStream::ShareDenyWrite, false));
    // Without the flag nobody is excluded.
    EXPECT_TRUE(other.Open(m_dir / "a.tbm", CZipStream::OpenRead, false));
}

TEST_F(ZipFileTest, CreateTruncatesUnlessToldNotTo)
{
    WriteFileBytes(m_dir / "a.bin", "old contents");
    {
        CZipFile keep(m_dir / "a.bin", kCreate | CZipStream::OpenNoTruncate);
        EXPECT_EQ(12u, keep.GetLength());
    }
    CZipFile f(m_dir / "a.bin", kCreate);
    EXPECT_EQ(0u, f.GetLength());
}

TEST_F(ZipFileTest, PositionsPastFourGigabytesWorkAndNegativeOnesAreRefused)
{
    CZipFile f(m_dir / "big", kCreate);
    ASSERT_EQ(0, ftruncate(f.GetHandle(), 0x100000010ll)); // sparse, takes no room
    EXPECT_EQ(0x100000010u, f.GetLength());
    EXPECT_EQ(0x100000010u, f.Seek(0, CZipStream::FromEnd));
    f.Seek(0xFFFFFFFEll, CZipStream::FromBegin);
    f.Write("abc", 3); // across the 4 GiB line
    f.Seek(0xFFFFFFFEll, CZipStream::FromBegin);
    char back[3] = {};
    EXPECT_EQ(3u, f.Read(back, 3));
    EXPECT_EQ(std::string(back, 3), "abc");
    EXPECT_EQ(22, CauseOf([&] { f.Seek(-1, CZipStream::FromBegin); }));
    EXPECT_EQ(27, CauseOf([&] { f.Seek(INT64_MAX, CZipStream::FromCurrent); }));
    EXPECT_EQ(0x100000001u, f.GetPosition());
    f.SetLength(10);
    f.Seek(4, CZipStream::FromBegin);
    EXPECT_EQ(22, CauseOf([&] { f.Seek(-11, CZipStream::FromEnd); }));
    EXPECT_EQ(4u, f.GetPosition()); // a refused seek moves nothing
}

TEST_F(ZipFileTest, OperationsOnAClosedFileAreBadFileNumber)
{
    CZipFile f;
    char c;
    EXPECT_EQ(9, CauseOf([&] { f.Read(&c, 1); }));
    EXPECT_EQ(9, CauseOf([&] { f.Write(&c, 1); }));
    EXPECT_EQ(9, CauseOf([&] { f.GetLength(); }));
    f.Close(); // closing a closed file is harmless
}

} // namespace
