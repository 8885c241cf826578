// Extracted folders: their modes and times come after their contents, and a name that
// reduces to nothing never changes the target folder.
#include "TempDir.h"
#include "ZipContainer.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

using namespace tbmtest;
namespace fs = std::filesystem;

namespace {

constexpr std::time_t kTime = 1500000000;

struct Entry
{
    std::string name; // ending in '\': a folder
    unsigned mode;    // the Unix mode with its file type
    std::time_t time;
};

class ZipFolderExtract : public TempDirTest
{
protected:
    void TearDown() override
    {
        // Read-only folders would keep the test folder from being removed.
        for (const auto& entry : fs::recursive_directory_iterator(m_dir.Str()))
            if (entry.is_directory() && !entry.is_symlink())
                fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
    }

    void MakeArchive(const std::vector<Entry>& entries)
    {
        const std::string path = m_dir / "folders.zip";
        CZipContainer writer;
        ASSERT_TRUE(writer.Open(path, CZipContainer::ArcCreate));
        for (const Entry& entry : entries) {
            CZipEntryHeader header;
            header.m_fileName = entry.name;
            header.m_externalAttr = (entry.mode << 16) | (S_ISDIR(entry.mode) ? 0x10 : 0x20);
            header.SetTime(entry.time);
            ASSERT_TRUE(writer.OpenNewFile(header, 0));
            if (!S_ISDIR(entry.mode))
                writer.WriteNewFile(entry.name.data(), static_cast<std::uint32_t>(entry.name.size()));
            writer.CloseNewFile();
        }
        writer.Close();
        m_zip.Open(path, CZipContainer::ArcOpenReadOnly);
    }

    void ExtractAll(const std::string& out)
    {
        for (std::size_t i = 0; i < m_zip.GetCount(); ++i)
            ASSERT_TRUE(m_zip.ExtractFile(static_cast<int>(i), out)) << i;
    }

    static struct stat Status(const std::string& path)
    {
        struct stat st
        {
        };
        EXPECT_EQ(lstat(path.c_str(), &st), 0) << path;
        return st;
    }

    static std::time_t DosTime(std::time_t time)
    {
        CZipEntryHeader header;
        header.SetTime(time);
        return header.GetTime();
    }

    CZipContainer m_zip;
};

TEST_F(ZipFolderExtract, ModesAndTimesComeAfterTheContentsDeepestFirst)
{
    // The folder entries come first, as backups store them, and a read-only folder
    // still takes its files; set-id and sticky bits are never given out.
    MakeArchive({{"ro\\", S_IFDIR | 0555, kTime},
                 {"ro\\private\\", S_IFDIR | 0700, kTime + 86400},
                 {"ro\\private\\key", S_IFREG | 0600, kTime},
                 {"ro\\f.txt", S_IFREG | 0444, kTime},
                 {"shared\\", S_IFDIR | 07777, kTime + 2 * 86400}});
    const std::string out = m_dir / "out";
    ExtractAll(out);
    // Private while it fills, whatever it becomes.
    EXPECT_EQ(Status(out + "/ro").st_mode & 07777, 0700u);
    EXPECT_TRUE(m_zip.FinishFolders().empty());

    EXPECT_EQ(Status(out + "/ro").st_mode & 07777, 0555u);
    EXPECT_EQ(Status(out + "/ro").st_mtime, DosTime(kTime));
    EXPECT_EQ(Status(out + "/ro/private").st_mode & 07777, 0700u);
    EXPECT_EQ(Status(out + "/ro/private").st_mtime, DosTime(kTime + 86400));
    EXPECT_EQ(Status(out + "/shared").st_mode & 07777, 0777u);
    EXPECT_EQ(Status(out + "/shared").st_mtime, DosTime(kTime + 2 * 86400));
    EXPECT_EQ(ReadFileBytes(out + "/ro/private/key"), "ro\\private\\key");
    EXPECT_EQ(ReadFileBytes(out + "/ro/f.txt"), "ro\\f.txt");
    // Finished folders are forgotten: a second finish changes nothing.
    chmod((out + "/ro").c_str(), 0750);
    EXPECT_TRUE(m_zip.FinishFolders().empty());
    EXPECT_EQ(Status(out + "/ro").st_mode & 07777, 0750u);
}

TEST_F(ZipFolderExtract, NamesThatReduceToNothingLeaveTheTargetFolderAlone)
{
    MakeArchive({{".\\", S_IFDIR | 0777, kTime},
                 {"./", S_IFDIR | 0700, kTime},
                 {"C:\\", S_IFDIR | 0500, kTime},
                 {"..\\..\\", S_IFDIR | 0555, kTime},
                 {"\\", S_IFDIR | 0705, kTime}});
    const std::string out = m_dir / "out";
    fs::create_directories(out);
    chmod(out.c_str(), 0750);
    const std::time_t before = Status(out).st_mtime;
    ExtractAll(out);
    EXPECT_TRUE(m_zip.FinishFolders().empty());
    m_zip.Close();
    EXPECT_EQ(Status(out).st_mode & 07777, 0750u);
    EXPECT_EQ(Status(out).st_mtime, before);
    EXPECT_TRUE(fs::is_empty(out));
}

TEST_F(ZipFolderExtract, ALinkThatTookAFolderPlaceIsNeitherFollowedNorChanged)
{
    MakeArchive({{"d\\", S_IFDIR | 0500, kTime}, {"e\\", S_IFDIR | 0500, kTime}});
    const std::string out = m_dir / "out";
    const std::string outside = m_dir / "outside";
    fs::create_directories(outside);
    chmod(outside.c_str(), 0755);
    ExtractAll(out);
    fs::remove(out + "/d");
    fs::create_directory_symlink(outside, out + "/d");
    EXPECT_EQ(m_zip.FinishFolders(), std::vector<std::string>{out + "/d"});
    EXPECT_EQ(Status(outside).st_mode & 07777, 0755u);
    EXPECT_EQ(Status(out + "/e").st_mode & 07777, 0500u);
    // Closing without finishing still finishes.
    ASSERT_TRUE(m_zip.ExtractFile(0, m_dir / "again"));
    m_zip.Close();
    EXPECT_EQ(Status(m_dir / "again/d").st_mode & 07777, 0500u);
}

} // namespace
