#include "WholeFile.h"
#include "ObjectWriter.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

using Bytes = std::vector<std::uint8_t>;
using tbmtest::TempDirTest;

class WholeFileTest : public TempDirTest
{
};

TEST_F(WholeFileTest, ReplaceWritesAndReadsBack)
{
    const std::string path = m_dir / "MainTree.xsel";
    const Bytes bytes = {0x00, 0x01, 0xFF, 0x0A, 0x0D};
    ASSERT_TRUE(TvReplaceFile(path, bytes));
    Bytes back = {0x42};
    ASSERT_TRUE(TvReadWholeFile(path, back));
    EXPECT_EQ(bytes, back);
    EXPECT_EQ(1u, std::distance(std::filesystem::directory_iterator(m_dir.Path()), {}));
}

TEST_F(WholeFileTest, ReplaceKeepsTheModeOfTheOldFile)
{
    const std::string path = m_dir / "a.xsel";
    tbmtest::WriteFileBytes(path, "old");
    ASSERT_EQ(0, chmod(path.c_str(), 0640));
    ASSERT_TRUE(TvReplaceFile(path, Bytes{'n', 'e', 'w'}));
    struct stat st
    {
    };
    ASSERT_EQ(0, stat(path.c_str(), &st));
    EXPECT_EQ(0640u, st.st_mode & 07777);
    EXPECT_EQ("new", tbmtest::ReadFileBytes(path));
}

TEST_F(WholeFileTest, ReplaceInMissingFolderFailsAndLeavesNothing)
{
    errno = 0;
    EXPECT_FALSE(TvReplaceFile(m_dir / "missing/a.xsel", Bytes{1}));
    EXPECT_EQ(ENOENT, errno);
    EXPECT_TRUE(std::filesystem::is_empty(m_dir.Path()));
}

TEST_F(WholeFileTest, ReplacingAFolderFailsAndRemovesTheTemporaryFile)
{
    std::filesystem::create_directory(m_dir / "folder.xsel");
    EXPECT_FALSE(TvReplaceFile(m_dir / "folder.xsel", Bytes{1}));
    EXPECT_EQ(1u, std::distance(std::filesystem::directory_iterator(m_dir.Path()), {}));
}

TEST_F(WholeFileTest, ReadRefusesMissingFilesAndFolders)
{
    Bytes bytes = {7};
    errno = 0;
    EXPECT_FALSE(TvReadWholeFile(m_dir / "none", bytes));
    EXPECT_EQ(ENOENT, errno);
    errno = 0;
    EXPECT_FALSE(TvReadWholeFile(m_dir.Str(), bytes));
    EXPECT_EQ(EINVAL, errno);
    EXPECT_EQ(Bytes{7}, bytes);
}

TEST_F(WholeFileTest, WriterSavesItsStream)
{
    CObjectWriter out;
    out.WriteCount(0);
    ASSERT_TRUE(out.SaveToFile(m_dir / "empty.xsel"));
    EXPECT_EQ(std::string(2, '\0'), tbmtest::ReadFileBytes(m_dir / "empty.xsel"));
}
