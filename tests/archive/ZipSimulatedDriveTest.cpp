#include "ZipSimulatedDrive.h"
#include "ZipException.h"
#include "ZipPlatform.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>

using tbmtest::ReadFileBytes;

namespace {

constexpr unsigned kCreate =
    CZipStream::OpenCreate | CZipStream::OpenReadWrite | CZipStream::ShareDenyWrite;

class ZipSimulatedDriveTest : public tbmtest::TempDirTest
{
protected:
    ZipSimulatedDriveTest() : m_drive(m_dir / "disks")
    {
        m_mount = m_drive.AddMount(m_dir / "a", true);
        m_small = m_drive.AddDisk(10, "SMALL");
        m_big = m_drive.AddDisk(1000, "BIG");
    }

    CZipSimulatedDrive m_drive;
    int m_mount = 0;
    int m_small = 0;
    int m_big = 0;
};

TEST_F(ZipSimulatedDriveTest, AFullDiskWritesWhatFitsAndFailsWithNoSpace)
{
    m_drive.Insert(m_mount, m_small);
    auto file = m_drive.OpenFile(m_dir / "a/f.tbm", kCreate, true);
    file->Write("123456", 6);
    std::uint64_t freeBytes = 0;
    ASSERT_TRUE(m_drive.GetFreeSpace(m_dir / "a/f.tbm", freeBytes));
    EXPECT_EQ(4u, freeBytes);
    try {
        file->Write("abcdef", 6);
        FAIL() << "no exception";
    } catch (const CZipException& e) {
        EXPECT_EQ(28, e.GetCause());
    }
    EXPECT_EQ(10u, file->GetLength());
    file->Seek(0, CZipStream::FromBegin);
    file->Write("XY", 2); // overwriting needs no room
    EXPECT_THROW(file->SetLength(11), CZipException);
    file->Close();
    EXPECT_EQ("XY3456abcd", ReadFileBytes(m_dir / "a/f.tbm"));
}

TEST_F(ZipSimulatedDriveTest, InsertingSwapsWhatTheMountShows)
{
    m_drive.Insert(m_mount, m_small);
    tbmtest::WriteFileBytes(m_dir / "a/f", "on small");
    m_drive.Insert(m_mount, m_big);
    EXPECT_EQ(0, ZipPlatform::FileExists(m_dir / "a/f"));
    std::string label;
    ASSERT_TRUE(m_drive.GetVolumeLabel(m_dir / "a/f", label));
    EXPECT_EQ("BIG", label);
    m_drive.Insert(m_mount, -1); // empty drive
    EXPECT_EQ(nullptr, m_drive.OpenFile(m_dir / "a/f", kCreate, false));
    std::uint64_t freeBytes = 0;
    EXPECT_FALSE(m_drive.GetFreeSpace(m_dir / "a", freeBytes));
    m_drive.Insert(m_mount, m_small);
    EXPECT_EQ("on small", ReadFileBytes(m_dir / "a/f"));
    EXPECT_TRUE(m_drive.IsRemovable(m_dir / "a/f"));
    EXPECT_EQ(m_dir / "a", m_drive.GetRoot(m_dir / "a/x/y"));
}

TEST_F(ZipSimulatedDriveTest, WriteProtectedAndFixedLabelDisks)
{
    m_drive.Insert(m_mount, m_big);
    m_drive.GetDisk(m_big).labelFixed = true;
    errno = 0;
    EXPECT_FALSE(m_drive.SetVolumeLabel(m_dir / "a/f", "pkback# 001"));
    EXPECT_EQ(ENOTSUP, errno);
    EXPECT_NE(nullptr, m_drive.OpenFile(m_dir / "a/f", kCreate, false));

    m_drive.GetDisk(m_big).writeProtected = true;
    EXPECT_FALSE(m_drive.SetVolumeLabel(m_dir / "a/f", "x"));
    EXPECT_EQ(nullptr, m_drive.OpenFile(m_dir / "a/g", kCreate, false));
    EXPECT_EQ(EROFS, errno);
    EXPECT_FALSE(m_drive.CreateFolder(m_dir / "a/sub"));
    EXPECT_NE(nullptr, m_drive.OpenFile(m_dir / "a/f", CZipStream::OpenRead, false));

    m_drive.Insert(m_mount, m_small);
    EXPECT_TRUE(m_drive.SetVolumeLabel(m_dir / "a/f", "pkback# 002"));
    EXPECT_EQ("pkback# 002", m_drive.GetDisk(m_small).label);
}

TEST_F(ZipSimulatedDriveTest, PathsOutsideTheMountsGoToTheRealDrive)
{
    EXPECT_FALSE(m_drive.IsRemovable(m_dir / "elsewhere"));
    std::uint64_t freeBytes = 0;
    EXPECT_TRUE(m_drive.GetFreeSpace(m_dir / "elsewhere", freeBytes));
    EXPECT_GT(freeBytes, 1000u);
}

} // namespace
