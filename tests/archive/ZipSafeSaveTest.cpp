// Putting a new archive in place of an old one: the old one is untouched until the
// new one is whole, sets of volumes included, and what killed runs leave behind is
// cleared by the next run on the same target.
#include "ZipContainer.h"
#include "ZipPlatform.h"
#include "ZipSafeSave.h"

#include "TempDir.h"
#include "TestZip.h"
#include "ZipWriterTestUtil.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

using tbmtest::ReadFileBytes;
using tbmtest::WriteFileBytes;
using ZipPlatform::FileExists;

namespace {

class ZipSafeSaveTest : public tbmtest::TempDirTest
{
protected:
    // An archive of `count` entries of `size` bytes of noise written at `path`.
    void WriteArchive(const std::string& path, int count, std::size_t size, int mode,
                      int volumeSize = 0)
    {
        CZipContainer archive;
        archive.Open(path, mode, volumeSize);
        for (int i = 0; i < count; ++i) {
            CZipEntryHeader header;
            header.m_fileName = "file" + std::to_string(i);
            header.SetTime(1700000000 + i);
            ASSERT_TRUE(archive.OpenNewFile(header, 0));
            const std::string data = tbmtest::RandomBytes(size, static_cast<unsigned>(i + 1));
            archive.WriteNewFile(data.data(), static_cast<std::uint32_t>(data.size()));
            archive.CloseNewFile();
        }
        archive.Close();
    }

    std::vector<std::string> FolderNames() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_dir.Path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(ZipSafeSaveTest, TheTargetChangesOnlyAtCommitAndTheNewFileIsPrivate)
{
    const std::string target = m_dir / "home.tbm";
    WriteArchive(target, 3, 100, CZipContainer::ArcCreate);
    const std::string before = ReadFileBytes(target);

    CZipSafeSave save(target);
    const std::string temporary = save.Begin();
    ASSERT_FALSE(temporary.empty());
    EXPECT_TRUE(CZipSafeSave::IsTemporaryName(target, std::filesystem::path(temporary).filename()));
    struct stat st
    {
    };
    ASSERT_EQ(0, stat(temporary.c_str(), &st));
    EXPECT_EQ(0600u, st.st_mode & 0777);
    WriteArchive(temporary, 5, 100, CZipContainer::ArcCreate);
    EXPECT_EQ(before, ReadFileBytes(target));

    save.Commit(false);
    EXPECT_EQ(ReadFileBytes(target).size() > before.size(), true);
    EXPECT_TRUE(tbmtest::UnzipTests(target));
    EXPECT_EQ(std::vector<std::string>{"home.tbm"}, FolderNames());
}

TEST_F(ZipSafeSaveTest, DiscardAndDestructionLeaveOnlyTheOldTarget)
{
    const std::string target = m_dir / "home.tbm";
    WriteArchive(target, 2, 50, CZipContainer::ArcCreate);
    const std::string before = ReadFileBytes(target);
    {
        CZipSafeSave save(target);
        WriteArchive(save.Begin(), 2, 50, CZipContainer::ArcCreateSpanned, 120);
        // Never committed: the run failed or was cancelled.
    }
    EXPECT_EQ(before, ReadFileBytes(target));
    EXPECT_EQ(std::vector<std::string>{"home.tbm"}, FolderNames());
}

// A set of fixed-size volumes goes in under the target's title, and the volumes
// of an older set that had more of them are gone afterwards.
TEST_F(ZipSafeSaveTest, AVolumeSetReplacesALongerOlderSet)
{
    const std::string target = m_dir / "set.tbm";
    WriteArchive(target, 8, 400, CZipContainer::ArcCreateSpanned, 1000);
    ASSERT_EQ(1, FileExists(m_dir / "set.003"));
    const std::string oldLast = ReadFileBytes(target);

    CZipSafeSave save(target);
    const std::string temporary = save.Begin();
    WriteArchive(temporary, 3, 400, CZipContainer::ArcCreateSpanned, 1000);
    // Until the set is complete the old set is what the folder holds.
    EXPECT_EQ(oldLast, ReadFileBytes(target));
    save.Commit(true);

    EXPECT_EQ(1, FileExists(m_dir / "set.000"));
    EXPECT_EQ(0, FileExists(m_dir / "set.003"));
    CZipContainer reread;
    reread.Open(target, CZipContainer::ArcOpenReadOnly, 1000);
    EXPECT_EQ(3u, reread.GetCount());
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(reread.TestFile(i));
    reread.Close();
    for (const std::string& name : FolderNames())
        EXPECT_EQ(std::string::npos, name.find("~tbm")) << name;
}

// A set that fits in its first volume becomes one plain file named ".tbm", and
// every volume of the old set goes.
TEST_F(ZipSafeSaveTest, ASetThatFitsOneVolumeReplacesAnOlderSet)
{
    const std::string target = m_dir / "set.tbm";
    WriteArchive(target, 6, 400, CZipContainer::ArcCreateSpanned, 1000);
    CZipSafeSave save(target);
    WriteArchive(save.Begin(), 1, 100, CZipContainer::ArcCreateSpanned, 1000);
    save.Commit(true);
    EXPECT_EQ(std::vector<std::string>{"set.tbm"}, FolderNames());
    EXPECT_TRUE(tbmtest::UnzipTests(target));
}

TEST_F(ZipSafeSaveTest, LeftoversOfDeadRunsGoAndALiveRunsFilesStay)
{
    const std::string target = m_dir / "home.tbm";
    WriteFileBytes(target, "old");
    // A dead run's set and single file, a live run holding its file, and names
    // that only look alike.
    WriteFileBytes(m_dir / ".home~tbm0badc0de.000", "x");
    WriteFileBytes(m_dir / ".home~tbm0badc0de.tbm", "x");
    WriteFileBytes(m_dir / ".home~tbm12345678.tbm", "x");
    WriteFileBytes(m_dir / ".home~tbm9abcdef0.tbm", "live");
    WriteFileBytes(m_dir / ".home~tbmXYZ.tbm", "not ours");
    WriteFileBytes(m_dir / ".other~tbm12345678.tbm", "another target's");
    const int live = open((m_dir / ".home~tbm9abcdef0.tbm").c_str(), O_RDWR);
    ASSERT_GE(live, 0);
    ASSERT_EQ(0, flock(live, LOCK_EX));

    EXPECT_EQ(3, CZipSafeSave(target).RemoveLeftovers());
    close(live);
    const std::vector<std::string> expected = {".home~tbm9abcdef0.tbm", ".home~tbmXYZ.tbm",
                                               ".other~tbm12345678.tbm", "home.tbm"};
    EXPECT_EQ(expected, FolderNames());
    EXPECT_EQ("old", ReadFileBytes(target));
}

} // namespace
