// What makes an archive whole at its end: the central directory, which no cancel
// stops, and the exact modification times that peers read back in any time zone.
#include "ZipContainer.h"
#include "ZipExtraField.h"

#include "TempDir.h"
#include "TestZip.h"
#include "ZipWriterTestUtil.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>

namespace {

// Says "stop" to every call once it was asked to.
class CCancellingCallback : public CZipProgressCallback
{
public:
    bool Callback(int) override { return !m_cancelled; }
    bool m_cancelled = false;
};

class ZipArchiveEndTest : public tbmtest::TempDirTest
{
};

void AddSmall(CZipContainer& archive, int number, std::time_t time)
{
    CZipEntryHeader header;
    header.m_fileName = "dir\\entry" + std::to_string(number) + ".txt";
    header.SetTime(time);
    ASSERT_TRUE(archive.OpenNewFile(header));
    const std::string data = "entry " + std::to_string(number);
    archive.WriteNewFile(data.data(), static_cast<std::uint32_t>(data.size()));
    archive.CloseNewFile();
}

// The directory of 600 entries takes more than two progress steps; a cancel that
// is already signalled when it is written must not cut it short.
TEST_F(ZipArchiveEndTest, ACancelNeverCutsTheCentralDirectory)
{
    const std::string path = m_dir / "many.zip";
    CCancellingCallback callback;
    CZipContainer archive;
    archive.SetCallback(&callback, CZipProgressCallback::CbAll);
    archive.Open(path, CZipContainer::ArcCreate);
    for (int i = 0; i < 600; ++i)
        AddSmall(archive, i, 1700000000);
    callback.m_cancelled = true;
    archive.Close();

    CZipContainer reread;
    reread.Open(path, CZipContainer::ArcOpenReadOnly);
    EXPECT_EQ(600u, reread.GetCount());
    reread.Close();
    EXPECT_TRUE(tbmtest::UnzipTests(path));
}

class TimeZone
{
public:
    explicit TimeZone(const char* zone)
    {
        const char* old = std::getenv("TZ");
        m_had = old != nullptr;
        if (m_had)
            m_old = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~TimeZone()
    {
        if (m_had)
            setenv("TZ", m_old.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    bool m_had = false;
    std::string m_old;
};

// An odd second, which the DOS time cannot hold, read back in another time zone by
// this archive and by Info-ZIP's unzip.
TEST_F(ZipArchiveEndTest, ExactTimesSurviveTimeZonesAndPeersReadThem)
{
    const std::time_t when = 1700000001;
    const std::string path = m_dir / "times.zip";
    {
        TimeZone zone("America/New_York");
        CZipContainer archive;
        archive.Open(path, CZipContainer::ArcCreate);
        AddSmall(archive, 1, when);
        archive.Close();
    }
    TimeZone zone("Asia/Kolkata");
    CZipContainer reread;
    reread.Open(path, CZipContainer::ArcOpenReadOnly);
    CZipEntryHeader header;
    ASSERT_TRUE(reread.GetFileInfo(header, 0));
    std::time_t exact = 0;
    ASSERT_TRUE(ZipExtraField::GetModificationTime(header.m_extraField, exact));
    EXPECT_EQ(when, header.GetTime());
    reread.Close();

    if (!tbmtest::HaveProgram("unzip"))
        GTEST_SKIP() << "unzip is not installed";
    ASSERT_EQ(0, tbmtest::RunCommand("TZ=Pacific/Auckland unzip -qo '" + path + "' -d '" +
                                     (m_dir / "out") + "'"));
    struct stat st
    {
    };
    ASSERT_EQ(0, stat((m_dir / "out/dir/entry1.txt").c_str(), &st));
    EXPECT_EQ(when, st.st_mtime);
}

TEST(ZipExtraFieldTest, TheTimestampReplacesItselfAndKeepsOtherBlocks)
{
    std::string extra("\x75\x78\x03\x00\x01\x02\x03", 7); // another tool's block
    ZipExtraField::SetModificationTime(extra, 5);
    ZipExtraField::SetModificationTime(extra, -7);
    std::time_t read = 0;
    ASSERT_TRUE(ZipExtraField::GetModificationTime(extra, read));
    EXPECT_EQ(-7, read);
    EXPECT_EQ(7u + 9u, extra.size());
    EXPECT_EQ(9u, ZipExtraField::Only(extra, ZipExtraField::ExtendedTimestamp).size());
    // A block that claims more bytes than there are ends the walk safely.
    EXPECT_FALSE(ZipExtraField::GetModificationTime(std::string("\x55\x54\x09\x00\x01", 5), read));
}

} // namespace
