// Extraction: target names, path safety, attributes and times, aborts.
#include "TempDir.h"
#include "TestZip.h"
#include "ZipContainer.h"
#include "ZipException.h"
#include "ZipWriterTestUtil.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

using namespace tbmtest;
namespace fs = std::filesystem;

namespace {

struct PredictCase
{
    const char* entry;
    const char* folder;
    bool fullPath;
    const char* newName;
    const char* expected;
};

class ZipPredict : public ::testing::TestWithParam<PredictCase>
{
};

TEST_P(ZipPredict, TargetNames)
{
    const PredictCase& c = GetParam();
    EXPECT_EQ(CZipContainer::PredictExtractedName(c.entry, c.folder, c.fullPath, c.newName),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ZipPredict,
    ::testing::Values(PredictCase{"a\\b\\c.txt", "/t", true, "", "/t/a/b/c.txt"},
                      PredictCase{"a\\b\\c.txt", "/t//", false, "", "/t/c.txt"},
                      PredictCase{"a\\b\\", "/t", true, "", "/t/a/b"},
                      PredictCase{"a\\b\\", "/t", false, "", "/t/b"},
                      PredictCase{"x", "/t", true, "new\\name", "/t/new/name"},
                      PredictCase{"", "/t/", true, "", "/t/"}, PredictCase{"f", "", true, "", "f"},
                      PredictCase{"f", "/", true, "", "/f"},
                      // Names that would leave the folder stay inside it.
                      PredictCase{"..\\..\\etc\\passwd", "/t", true, "", "/t/etc/passwd"},
                      PredictCase{"a/../../b", "/t", true, "", "/t/a/b"},
                      PredictCase{"\\abs\\x", "/t", true, "", "/t/abs/x"},
                      PredictCase{"/abs/x", "/t", true, "", "/t/abs/x"},
                      PredictCase{"C:\\win\\x", "/t", true, "", "/t/win/x"},
                      PredictCase{"C:x", "/t", true, "", "/t/x"},
                      PredictCase{".\\.\\y", "/t", true, "", "/t/y"},
                      PredictCase{"..", "/t", true, "", "/t"}));

class ZipExtract : public TempDirTest
{
protected:
    // Writes entries (name, data; a name ending in '\' is a folder) to an archive.
    void MakeArchive(const std::vector<std::pair<std::string, std::string>>& entries)
    {
        m_path = m_dir / "x.zip";
        CZipContainer writer;
        ASSERT_TRUE(writer.Open(m_path, CZipContainer::ArcCreate));
        for (const auto& [name, data] : entries) {
            CZipEntryHeader header;
            header.m_fileName = name;
            if (name.back() == '\\')
                header.m_externalAttr = 0x41ED0010;
            else
                header.m_externalAttr = 0x81800020; // rw-------
            header.SetTime(1500000000);
            ASSERT_TRUE(writer.OpenNewFile(header, 6));
            writer.WriteNewFile(data.data(), static_cast<std::uint32_t>(data.size()));
            writer.CloseNewFile();
        }
        writer.Close();
        m_zip.Open(m_path, CZipContainer::ArcOpenReadOnly);
    }

    std::string m_path;
    CZipContainer m_zip;
};

} // namespace

TEST_F(ZipExtract, FilesAndFoldersWithTimesAndAttributes)
{
    const std::string data = Pattern(70000);
    MakeArchive({{"top\\", ""}, {"top\\sub\\f.bin", data}, {"g", "gg"}});
    const std::string out = m_dir / "out";
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(m_zip.ExtractFile(i, out, true, {}, 4096)) << i;
    EXPECT_EQ(ReadFileBytes(out + "/top/sub/f.bin"), data);
    EXPECT_EQ(ReadFileBytes(out + "/g"), "gg");
    struct stat status
    {
    };
    ASSERT_EQ(stat((out + "/g").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    CZipEntryHeader header;
    header.SetTime(1500000000);
    EXPECT_EQ(status.st_mtime, header.GetTime());
    // A folder's mode waits for its contents.
    EXPECT_TRUE(m_zip.FinishFolders().empty());
    ASSERT_EQ(stat((out + "/top").c_str(), &status), 0);
    EXPECT_TRUE(S_ISDIR(status.st_mode));
    EXPECT_EQ(status.st_mode & 0777, 0755u);

    ASSERT_TRUE(m_zip.ExtractFile(1, out, false, "renamed.bin"));
    EXPECT_EQ(ReadFileBytes(out + "/renamed.bin"), data);
    EXPECT_FALSE(m_zip.ExtractFile(1, out, true, {}, 0));
}

TEST_F(ZipExtract, HostileNamesStayInsideTheTarget)
{
    MakeArchive({{"..\\..\\escape1", "1"}, {"\\tmp\\escape2", "2"}, {"C:\\escape3", "3"}});
    const std::string out = m_dir / "deep/out";
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(m_zip.ExtractFile(i, out));
    EXPECT_EQ(ReadFileBytes(out + "/escape1"), "1");
    EXPECT_EQ(ReadFileBytes(out + "/tmp/escape2"), "2");
    EXPECT_EQ(ReadFileBytes(out + "/escape3"), "3");
    EXPECT_FALSE(fs::exists(m_dir / "escape1"));
}

// A file entry whose name has no part left once "..", "." and separators are
// dropped has nowhere to go inside the target: a clear error, nothing written.
TEST_F(ZipExtract, FileNamesWithNoPartLeftAreRefused)
{
    MakeArchive({{"..", "dots"}, {"..\\.\\..", "more dots"}});
    const std::string out = m_dir / "out";
    for (int i = 0; i < 2; ++i) {
        EXPECT_THROW(m_zip.ExtractFile(i, out), CZipException) << i;
        EXPECT_EQ(m_zip.GetEntryState(), 0);
    }
    EXPECT_TRUE(!fs::exists(out) || fs::is_empty(out));
    EXPECT_FALSE(fs::exists(m_dir / "dots"));
}

TEST_F(ZipExtract, LinksInsideTheTargetAreNotFollowed)
{
    MakeArchive({{"link\\file", "into the link"}, {"flink", "replaces the link"}});
    const std::string out = m_dir / "out";
    const std::string outside = m_dir / "outside";
    fs::create_directories(out);
    fs::create_directories(outside);
    WriteFileBytes(outside + "/victim", "untouched");
    fs::create_directory_symlink(outside, out + "/link");
    fs::create_symlink(outside + "/victim", out + "/flink");

    try {
        m_zip.ExtractFile(0, out);
        ADD_FAILURE() << "extracted through a link";
    } catch (const CZipException&) {
    }
    EXPECT_EQ(m_zip.GetEntryState(), 0);
    EXPECT_FALSE(fs::exists(outside + "/file"));

    ASSERT_TRUE(m_zip.ExtractFile(1, out));
    EXPECT_FALSE(fs::is_symlink(out + "/flink"));
    EXPECT_EQ(ReadFileBytes(out + "/flink"), "replaces the link");
    EXPECT_EQ(ReadFileBytes(outside + "/victim"), "untouched");
}

TEST_F(ZipExtract, AbortsTellWhetherTheDataWasComplete)
{
    MakeArchive({{"f", Pattern(10000)}});
    struct Case
    {
        std::uint32_t buffer;
        int stopAt;
        int cause;
    };
    // 10,000 bytes in chunks of 4,000: stopping after a full chunk loses data (105);
    // stopping after the short last chunk, or after a full chunk that was the last,
    // does not.
    const Case cases[] = {{4000, 1, 105}, {4000, 3, 106}, {10000, 1, 106}, {20000, 1, 106}};
    for (const Case& c : cases) {
        CRecordingCallback callback;
        callback.stopAt = c.stopAt;
        m_zip.SetCallback(&callback,
                          CZipProgressCallback::CbExtract | CZipProgressCallback::CbTest);
        for (bool test : {false, true}) {
            int cause = 0;
            try {
                if (test)
                    m_zip.TestFile(0, c.buffer);
                else
                    m_zip.ExtractFile(0, m_dir / "out", true, {}, c.buffer);
            } catch (const CZipException& e) {
                cause = e.GetCause();
            }
            EXPECT_EQ(cause, c.cause) << c.buffer << " " << c.stopAt << " " << test;
            EXPECT_EQ(m_zip.GetEntryState(), 0);
            callback.calls.clear();
        }
    }
    m_zip.SetCallback(nullptr);
}
