#include "Globals.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using tbmtest::ReadFileBytes;
using tbmtest::WriteFileBytes;

namespace {

using Names = std::vector<std::string>;

class FoldersTest : public tbmtest::TempDirTest
{
protected:
    void MakeFolder(const std::string& name) { fs::create_directories(m_dir.Path() / name); }
    void Touch(const std::string& name) { WriteFileBytes(m_dir / name, "data"); }
    void Link(const std::string& target, const std::string& name)
    {
        ASSERT_EQ(0, symlink(target.c_str(), (m_dir / name).c_str())) << name;
    }
    static mode_t ModeOf(const std::string& path)
    {
        struct stat st
        {
        };
        return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
    }
    CGlobals m_globals;
};

TEST_F(FoldersTest, CreateFolderPathCreatesEveryMissingFolder)
{
    EXPECT_EQ(0, m_globals.CreateFolderPath(m_dir / "a/b/c"));
    EXPECT_TRUE(fs::is_directory(m_dir.Path() / "a/b/c"));
    EXPECT_EQ(0, m_globals.CreateFolderPath(m_dir / "a/b/d/")); // one trailing "/" ignored
    EXPECT_TRUE(fs::is_directory(m_dir.Path() / "a/b/d"));
}

TEST_F(FoldersTest, CreateFolderPathGivesMinusOneWhenNothingWasCreated)
{
    MakeFolder("exists");
    Touch("file");
    EXPECT_EQ(-1, m_globals.CreateFolderPath(m_dir / "exists"));
    EXPECT_EQ(-1, m_globals.CreateFolderPath(m_dir / "exists/"));
    EXPECT_EQ(-1, m_globals.CreateFolderPath(m_dir / "file"));
    EXPECT_EQ(-1, m_globals.CreateFolderPath(m_dir / "file/below"));
    EXPECT_EQ(-1, m_globals.CreateFolderPath(""));
    EXPECT_EQ("data", ReadFileBytes(m_dir / "file"));
}

bool IsTempFolderName(const std::string& name)
{
    if (name.size() < 8 || name.size() > 11 || name.rfind("OL3", 0) != 0 ||
        name.substr(name.size() - 4) != "Temp")
        return false;
    for (std::size_t i = 3; i < name.size() - 4; ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(name[i])) ||
            std::islower(static_cast<unsigned char>(name[i])))
            return false;
    }
    return true;
}

TEST_F(FoldersTest, CreateTempFolderMakesNewPrivateFolderAndRemovesTheFile)
{
    const std::string first = m_globals.CreateTempFolder(m_dir.Str());
    const std::string second = m_globals.CreateTempFolder(m_dir.Str() + "/");
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    EXPECT_NE(first, second);
    for (const std::string& folder : {first, second}) {
        EXPECT_EQ(m_dir.Str(), fs::path(folder).parent_path().string());
        EXPECT_TRUE(IsTempFolderName(fs::path(folder).filename())) << folder;
        EXPECT_EQ(0700u, ModeOf(folder));
    }
    // Only the two folders are left: the temporary files are gone.
    EXPECT_EQ(2, std::distance(fs::directory_iterator(m_dir.Path()), fs::directory_iterator()));
}

TEST_F(FoldersTest, CreateTempFolderWithoutParentUsesTheSystemTemporaryFolder)
{
    const std::string folder = m_globals.CreateTempFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(fs::path(std::getenv("TMPDIR")), fs::path(folder).parent_path());
    fs::remove(folder);
}

// The temporary file is gone once its folder exists, so its number comes round
// again; over a thousand calls that happens almost surely, and the folder of the
// earlier call must not be handed out a second time.
TEST_F(FoldersTest, CreateTempFolderNeverReturnsAnExistingFolder)
{
    std::set<std::string> folders;
    for (int i = 0; i < 1000; ++i) {
        const std::string folder = m_globals.CreateTempFolder(m_dir.Str());
        ASSERT_FALSE(folder.empty());
        ASSERT_TRUE(folders.insert(folder).second) << "handed out twice: " << folder;
    }
}

TEST_F(FoldersTest, CreateTempFolderInMissingParentFails)
{
    EXPECT_EQ("", m_globals.CreateTempFolder(m_dir / "missing"));
}

class ListFolderTest : public FoldersTest
{
protected:
    void SetUp() override
    {
        fs::create_directories(m_outside.Path() / "dir");
        WriteFileBytes(m_outside / "file.txt", "outside");
        for (const char* folder : {"sub2", "sub1", ".hiddendir", "sub.txt"})
            MakeFolder(folder);
        for (const char* file : {"b.txt", "a.txt", ".hidden.txt", "c.log", "noext"})
            Touch(file);
        Link(m_outside / "dir", "linkdir");
        Link(m_outside / "file.txt", "linkfile.txt");
        Link(m_dir / "nowhere", "dangling.txt");
        ASSERT_EQ(0, mkfifo((m_dir / "pipe.txt").c_str(), 0600));
    }
    tbmtest::TempDir m_outside;
};

TEST_F(ListFolderTest, WithoutPatternListsSubFoldersSorted)
{
    Names names = {"stale"};
    EXPECT_TRUE(m_globals.ListFolder(m_dir.Str(), names));
    EXPECT_EQ((Names{".hiddendir", "linkdir", "sub.txt", "sub1", "sub2"}), names);
}

TEST_F(ListFolderTest, WithPatternListsVisibleRegularFilesSorted)
{
    Names names;
    EXPECT_TRUE(m_globals.ListFolder(m_dir.Str(), names, "*.txt", true));
    EXPECT_EQ((Names{"a.txt", "b.txt", "linkfile.txt"}), names);
    EXPECT_TRUE(m_globals.ListFolder(m_dir.Str(), names, "*.*", true));
    EXPECT_EQ((Names{"a.txt", "b.txt", "c.log", "linkfile.txt", "noext"}), names);
    EXPECT_TRUE(m_globals.ListFiles(m_dir.Str(), names));
    EXPECT_EQ((Names{"a.txt", "b.txt", "c.log", "linkfile.txt", "noext"}), names);
    EXPECT_TRUE(m_globals.ListFolder(m_dir.Str(), names, "?.log", true));
    EXPECT_EQ((Names{"c.log"}), names);
}

TEST_F(ListFolderTest, FailsWhenNothingMatchesOrTheFolderIsMissing)
{
    Names names = {"stale"};
    EXPECT_FALSE(m_globals.ListFolder(m_dir.Str(), names, "*.zip", true));
    EXPECT_TRUE(names.empty());
    EXPECT_FALSE(m_globals.ListFolder(m_dir / "missing", names));
    EXPECT_FALSE(m_globals.ListFiles(m_dir / "missing", names));
    // Matching only hidden entries or folders is a search that started: true, no names.
    EXPECT_TRUE(m_globals.ListFolder(m_dir.Str(), names, ".hidden*", true));
    EXPECT_TRUE(names.empty());
    EXPECT_TRUE(m_globals.ListFolder(m_dir / "sub1", names, "*.*", true));
    EXPECT_TRUE(names.empty());
}

TEST_F(ListFolderTest, DeleteFolderFilesKeepsFoldersHiddenFilesAndLinkTargets)
{
    EXPECT_TRUE(m_globals.DeleteFolderFiles(m_dir.Str()));
    Names names;
    EXPECT_TRUE(m_globals.ListFiles(m_dir.Str(), names));
    EXPECT_TRUE(names.empty());
    EXPECT_TRUE(fs::exists(m_dir.Path() / ".hidden.txt"));
    EXPECT_TRUE(fs::is_directory(m_dir.Path() / "sub1"));
    EXPECT_EQ("outside", ReadFileBytes(m_outside / "file.txt"));
}

TEST_F(ListFolderTest, DeleteFolderTreeEmptiesTheFolderWithoutLeavingIt)
{
    MakeFolder("sub1/deep/deeper");
    Touch("sub1/deep/deeper/file");
    Touch("sub1/.hidden");
    Link(m_outside / "dir", "sub1/deep/linkdir");
    WriteFileBytes(m_outside / "dir/keep", "keep");

    EXPECT_TRUE(m_globals.DeleteFolderTree(m_dir.Str()));
    EXPECT_TRUE(fs::is_directory(m_dir.Path()));
    EXPECT_TRUE(fs::is_empty(m_dir.Path()));
    EXPECT_EQ("keep", ReadFileBytes(m_outside / "dir/keep"));
    EXPECT_EQ("outside", ReadFileBytes(m_outside / "file.txt"));
}

TEST_F(ListFolderTest, DeleteFolderTreeRefusesMissingFolderAndFolderLink)
{
    EXPECT_FALSE(m_globals.DeleteFolderTree(m_dir / "missing"));
    WriteFileBytes(m_outside / "dir/keep", "keep");
    EXPECT_FALSE(m_globals.DeleteFolderTree(m_dir / "linkdir"));
    EXPECT_EQ("keep", ReadFileBytes(m_outside / "dir/keep"));
}

TEST_F(FoldersTest, RenameFileNeverReplacesAnExistingEntry)
{
    Touch("from");
    WriteFileBytes(m_dir / "taken", "taken");
    EXPECT_FALSE(m_globals.RenameFile(m_dir / "from", m_dir / "taken"));
    EXPECT_EQ("taken", ReadFileBytes(m_dir / "taken"));
    EXPECT_TRUE(m_globals.RenameFile(m_dir / "from", m_dir / "to"));
    EXPECT_EQ("data", ReadFileBytes(m_dir / "to"));
    EXPECT_FALSE(fs::exists(m_dir.Path() / "from"));
    EXPECT_FALSE(m_globals.RenameFile(m_dir / "from", m_dir / "again"));
    MakeFolder("job");
    EXPECT_TRUE(m_globals.RenameFile(m_dir / "job", m_dir / "renamed job"));
    EXPECT_TRUE(fs::is_directory(m_dir.Path() / "renamed job"));
}

TEST_F(FoldersTest, GetFileLengthGivesLow32BitsOfRegularFiles)
{
    Touch("four");
    EXPECT_EQ(4u, m_globals.GetFileLength(m_dir / "four"));
    EXPECT_EQ(0u, m_globals.GetFileLength(m_dir / "missing"));
    MakeFolder("folder");
    EXPECT_EQ(0u, m_globals.GetFileLength(m_dir / "folder"));
    // A sparse file of 4 GiB + 3 bytes takes no room on disk.
    const std::string big = m_dir / "big";
    WriteFileBytes(big, "");
    std::error_code ec;
    fs::resize_file(big, 0x100000003ULL, ec);
    if (ec)
        GTEST_SKIP() << "no sparse files here: " << ec.message();
    EXPECT_EQ(3u, m_globals.GetFileLength(big));
}

TEST_F(FoldersTest, WriteTextFileCreatesAndTruncates)
{
    const std::string path = m_dir / "text.txt";
    EXPECT_TRUE(m_globals.WriteTextFile(path, "a longer first text"));
    EXPECT_TRUE(m_globals.WriteTextFile(path, "short"));
    EXPECT_EQ("short", ReadFileBytes(path));
    EXPECT_TRUE(m_globals.WriteTextFile(path, ""));
    EXPECT_EQ("", ReadFileBytes(path));
    EXPECT_FALSE(m_globals.WriteTextFile(m_dir / "missing/text.txt", "x"));
}

} // namespace
