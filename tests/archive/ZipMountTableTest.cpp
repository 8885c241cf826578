#include "ZipMountTable.h"
#include "ZipRealDrive.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

const char kMountInfo[] =
    "22 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
    "40 22 0:35 / /tmp rw,nosuid - tmpfs tmpfs rw\n"
    "51 22 8:17 / /media/u/MY\\040STICK rw,nosuid master:9 - vfat /dev/sdb1 rw\n"
    "garbage line\n"
    "52 22 x:17 / /bad rw - vfat /dev/sdc1 rw\n"
    "53 22 8:18 / relative rw - vfat /dev/sdc2 rw\n"
    "54 22 8:33 / /media/u rw - ext4 /dev/sdc1 rw\n"
    "55 22 8:34 / /media/u rw shared:3 shared:4 - ext4 /dev/sdc2 rw";

TEST(ZipMountTableTest, ParsesGoodLinesAndSkipsTheRest)
{
    const CZipMountTable table = CZipMountTable::Parse(kMountInfo);
    ASSERT_EQ(5u, table.Entries().size());
    const CZipMountTable::Entry& stick = table.Entries()[2];
    EXPECT_EQ("/media/u/MY STICK", stick.mountPoint);
    EXPECT_EQ(8u, stick.major);
    EXPECT_EQ(17u, stick.minor);
    EXPECT_EQ("vfat", stick.fsType);
    EXPECT_EQ("/dev/sdb1", stick.source);
}

TEST(ZipMountTableTest, FindsTheLongestMountPointOnComponentBoundaries)
{
    const CZipMountTable table = CZipMountTable::Parse(kMountInfo);
    EXPECT_EQ("/", table.FindMount("/home/u")->mountPoint);
    EXPECT_EQ("/tmp", table.FindMount("/tmp")->mountPoint);
    EXPECT_EQ("/", table.FindMount("/tmpfiles/x")->mountPoint);
    EXPECT_EQ("/media/u/MY STICK", table.FindMount("/media/u/MY STICK/b.tbm")->mountPoint);
    EXPECT_EQ("/dev/sdc2", table.FindMount("/media/u/other")->source); // the later stacked mount
    EXPECT_EQ(nullptr, table.FindMount("relative/path"));
}

TEST(ZipMountTableTest, UnescapesOnlyThreeOctalDigits)
{
    EXPECT_EQ("a b\tc\\d", CZipMountTable::Unescape("a\\040b\\011c\\134d"));
    EXPECT_EQ("\\09x\\4", CZipMountTable::Unescape("\\09x\\4"));
}

class ZipRealDriveTest : public tbmtest::TempDirTest
{
};

TEST_F(ZipRealDriveTest, AnswersForTheTestFolder)
{
    CZipRealDrive drive;
    const std::string missing = m_dir / "not/yet/there.tbm";
    std::uint64_t freeBytes = 0, total = 0;
    EXPECT_TRUE(drive.GetFreeSpace(missing, freeBytes));
    EXPECT_TRUE(drive.GetTotalSize(missing, total));
    EXPECT_LE(freeBytes, total);
    const std::string root = drive.GetRoot(missing);
    const std::string resolved = CZipRealDrive::ResolveExisting(missing);
    EXPECT_EQ(0u, resolved.compare(0, root.size(), root)) << root << " " << resolved;
    errno = 0;
    EXPECT_FALSE(drive.SetVolumeLabel(missing, "pkback# 001"));
    EXPECT_EQ(ENOTSUP, errno);
    EXPECT_TRUE(drive.CreateFolder(m_dir / "sub"));
    EXPECT_EQ(nullptr, drive.OpenFile(missing, 0, false));
}

} // namespace
