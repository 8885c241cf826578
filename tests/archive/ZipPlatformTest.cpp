#include "ZipPlatform.h"
#include "ZipAttributes.h"
#include "ZipException.h"
#include "ZipSimulatedDrive.h"

#include "DriveScope.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

using tbmtest::TempDirTest;
using tbmtest::WriteFileBytes;
using namespace ZipPlatform;

namespace {

mode_t ModeOf(const std::string& path)
{
    struct stat st
    {
    };
    stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

class ZipPlatformTest : public TempDirTest
{
};

TEST_F(ZipPlatformTest, AttributesCarryTheModeAndTheDerivedWindowsBits)
{
    const std::string file = m_dir / "f.txt";
    WriteFileBytes(file, "x");
    ASSERT_EQ(0, chmod(file.c_str(), 0444));
    std::uint32_t attributes = 0;
    ASSERT_TRUE(GetFileAttributes(file, attributes));
    EXPECT_EQ(0x81240001u, attributes);

    ASSERT_EQ(0, chmod(m_dir.Str().c_str(), 0755));
    ASSERT_TRUE(GetFileAttributes(m_dir.Str(), attributes));
    EXPECT_EQ(0x41ED0010u, attributes);
    EXPECT_FALSE(GetFileAttributes(m_dir / "missing", attributes));
}

TEST_F(ZipPlatformTest, SetAttributesNeverGrantsSpecialBits)
{
    const std::string file = m_dir / "f";
    WriteFileBytes(file, "x");
    ASSERT_TRUE(SetFileAttributes(file, 0x8FED0000)); // rwsr-sr-t rwxr-xr-x
    EXPECT_EQ(0755u, ModeOf(file));
    ASSERT_TRUE(SetFileAttributes(file, ZipAttributes::AttrReadOnly)); // Windows form only
    EXPECT_EQ(0444u, ModeOf(file));
    ASSERT_TRUE(SetFileAttributes(file, ZipAttributes::DefaultFileAttributes));
    EXPECT_EQ(0644u, ModeOf(file));
}

TEST_F(ZipPlatformTest, ModificationTimeIsSetAndRead)
{
    const std::string file = m_dir / "f";
    WriteFileBytes(file, "x");
    ASSERT_TRUE(SetFileModTime(file, 1000000000));
    std::time_t modified = 0;
    ASSERT_TRUE(GetFileModTime(file, modified));
    EXPECT_EQ(1000000000, modified);
    ASSERT_TRUE(SetFileModTime(file, -1)); // now
    ASSERT_TRUE(GetFileModTime(file, modified));
    EXPECT_GT(modified, 1000000000);
    EXPECT_FALSE(GetFileModTime(m_dir / "missing", modified));
    EXPECT_FALSE(SetFileModTime(m_dir / "missing", 5));
}

TEST_F(ZipPlatformTest, SizeOnlyOfRegularFiles)
{
    WriteFileBytes(m_dir / "f", "12345");
    std::uint64_t size = 0;
    ASSERT_TRUE(GetFileSize(m_dir / "f", size));
    EXPECT_EQ(5u, size);
    EXPECT_FALSE(GetFileSize(m_dir.Str(), size));
    EXPECT_FALSE(GetFileSize(m_dir / "missing", size));
    ASSERT_EQ(0, mkfifo((m_dir / "pipe").c_str(), 0600));
    EXPECT_FALSE(GetFileSize(m_dir / "pipe", size)); // and returns at once
}

TEST_F(ZipPlatformTest, ExistenceTellsFilesFromFolders)
{
    WriteFileBytes(m_dir / "f", "");
    EXPECT_EQ(1, FileExists(m_dir / "f"));
    EXPECT_EQ(-1, FileExists(m_dir.Str()));
    EXPECT_EQ(0, FileExists(m_dir / "missing"));
    EXPECT_EQ(0, FileExists(""));
}

TEST_F(ZipPlatformTest, ForceDirectoryCreatesMissingParents)
{
    EXPECT_TRUE(ForceDirectory(m_dir / "a/b/c//"));
    EXPECT_EQ(-1, FileExists(m_dir / "a/b/c"));
    EXPECT_TRUE(ForceDirectory(m_dir / "a/b")); // present already
    EXPECT_TRUE(ForceDirectory("/"));
    WriteFileBytes(m_dir / "file", "");
    EXPECT_FALSE(ForceDirectory(m_dir / "file/sub"));
    EXPECT_FALSE(ForceDirectory(m_dir / "file"));
    EXPECT_FALSE(ForceDirectory(""));
}

TEST_F(ZipPlatformTest, RemoveAndRenameRaise113And114WithTheSystemText)
{
    try {
        RemoveFile(m_dir / "missing");
        FAIL() << "no exception";
    } catch (const CZipException& e) {
        EXPECT_EQ(113, e.GetCause());
        EXPECT_EQ(m_dir / "missing", e.GetFileName());
        EXPECT_EQ(std::string("Error while removing a file (") + std::strerror(ENOENT) + ")",
                  e.GetErrorDescription());
    }
    EXPECT_FALSE(RemoveFile(m_dir / "missing", false));
    try {
        RenameFile(m_dir / "missing", m_dir / "b");
        FAIL() << "no exception";
    } catch (const CZipException& e) {
        EXPECT_EQ(114, e.GetCause());
    }
}

TEST_F(ZipPlatformTest, RenameReplacesOnlyWhenAsked)
{
    WriteFileBytes(m_dir / "a", "new");
    WriteFileBytes(m_dir / "b", "old");
    EXPECT_FALSE(RenameFile(m_dir / "a", m_dir / "b", false));
    EXPECT_EQ("old", tbmtest::ReadFileBytes(m_dir / "b"));
    EXPECT_TRUE(RenameFile(m_dir / "a", m_dir / "b", false, true));
    EXPECT_EQ("new", tbmtest::ReadFileBytes(m_dir / "b"));
    EXPECT_EQ(0, FileExists(m_dir / "a"));
}

TEST_F(ZipPlatformTest, TempNameGoesWhereThereIsRoomForTheSize)
{
    CZipSimulatedDrive drive(m_dir / "disks");
    const int tmpDrive = drive.AddMount(m_dir / "tmp", false);
    const int cwdDrive = drive.AddMount(m_dir / "work", false);
    drive.Insert(tmpDrive, drive.AddDisk(1000));
    drive.Insert(cwdDrive, drive.AddDisk(5000));
    tbmtest::DriveScope scope(drive);

    const std::string savedTmp = std::getenv("TMPDIR");
    char savedCwd[4096];
    ASSERT_TRUE(getcwd(savedCwd, sizeof savedCwd));
    setenv("TMPDIR", (m_dir / "tmp").c_str(), 1);
    ASSERT_EQ(0, chdir((m_dir / "work").c_str()));

    const std::string small = GetTempFileNameFor(1000);
    const std::string large = GetTempFileNameFor(4000);
    const std::string huge = GetTempFileNameFor(6000);

    ASSERT_EQ(0, chdir(savedCwd));
    setenv("TMPDIR", savedTmp.c_str(), 1);

    EXPECT_EQ(m_dir / "tmp/VRN", small.substr(0, small.rfind('/') + 4));
    ASSERT_FALSE(large.empty());
    EXPECT_EQ(1, FileExists(m_dir / "work" + large.substr(large.rfind('/'))));
    EXPECT_EQ("", huge);
}

TEST(ZipCodePageTest, NamesConvertBetweenUtf8AndCp437)
{
    std::string name = "R\xC3\xA9sum\xC3\xA9 \xE2\x94\x82 \xC3\x9F.txt"; // "Résumé │ ß.txt"
    ASSERT_TRUE(AnsiToOem(name));
    EXPECT_EQ("R\x82sum\x82 \xB3 \xE1.txt", name);
    ASSERT_TRUE(OemToAnsi(name));
    EXPECT_EQ("R\xC3\xA9sum\xC3\xA9 \xE2\x94\x82 \xC3\x9F.txt", name);

    std::string ascii = "plain/name.txt";
    EXPECT_TRUE(AnsiToOem(ascii));
    EXPECT_EQ("plain/name.txt", ascii);
}

TEST(ZipCodePageTest, UnconvertibleNamesAreRefusedAndLeftAlone)
{
    std::string cjk = "\xE6\x97\xA5\xE6\x9C\xAC.txt"; // no CP437 form
    EXPECT_FALSE(AnsiToOem(cjk));
    EXPECT_EQ("\xE6\x97\xA5\xE6\x9C\xAC.txt", cjk);
    std::string broken = "bad\xC3";
    EXPECT_FALSE(AnsiToOem(broken));
    EXPECT_EQ("bad\xC3", broken);
    // Every CP437 byte has a UTF-8 form.
    std::string all;
    for (int c = 1; c < 256; ++c)
        all += static_cast<char>(c);
    EXPECT_TRUE(OemToAnsi(all));
}

} // namespace
