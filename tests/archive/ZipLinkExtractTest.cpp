// Link entries extract as symbolic links; extraction never writes through them.
#include "ExtractTestUtil.h"
#include "TempDir.h"
#include "TestZip.h"
#include "ZipContainer.h"
#include "ZipException.h"
#include "ZipWriterTestUtil.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

using namespace tbmtest;
namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t LinkMode = 0120777;

class ZipLinkExtract : public TempDirTest
{
protected:
    void Make(const std::vector<EntrySpec>& entries)
    {
        m_archive = m_dir / "l.zip";
        WriteEntries(m_archive, entries);
        ASSERT_TRUE(m_zip.Open(m_archive, CZipContainer::ArcOpenReadOnly));
        m_out = m_dir / "out";
    }
    // Extracts entry `index`; returns the error code, 0 when it worked.
    int Extract(int index)
    {
        try {
            return m_zip.ExtractFile(index, m_out) ? 0 : -1;
        } catch (const CZipException& e) {
            return e.GetCause();
        }
    }
    std::string LinkAt(const std::string& name) const
    {
        const std::string path = m_out + "/" + name;
        return fs::is_symlink(path) ? fs::read_symlink(path).string() : "(no link)";
    }

    std::string m_archive;
    std::string m_out;
    CZipContainer m_zip;
};

} // namespace

TEST_F(ZipLinkExtract, LinksComeBackWithTheirTargetsAndTime)
{
    Make({{"rel", "sub/file", LinkMode, 6},
          {"abs", "/etc", LinkMode, 0},
          {"dangling", "../../nowhere", LinkMode, 9},
          {"sub\\file", "data", 0100644, 6}});
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Extract(i), 0) << i;
        EXPECT_TRUE(m_zip.TestFile(i)) << i;
    }
    EXPECT_EQ(LinkAt("rel"), "sub/file");
    EXPECT_EQ(LinkAt("abs"), "/etc");
    EXPECT_EQ(LinkAt("dangling"), "../../nowhere");
    EXPECT_EQ(ReadFileBytes(m_out + "/rel"), "data"); // through the link, as a reader would
    CZipEntryHeader time;
    time.SetTime(EntryTime);
    struct stat st
    {
    };
    ASSERT_EQ(lstat((m_out + "/rel").c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, time.GetTime());
    EXPECT_TRUE(TemporaryLeftovers(m_out).empty());
}

TEST_F(ZipLinkExtract, ALinkPlantedByTheArchiveIsNeverWrittenThrough)
{
    const std::string outside = m_dir / "outside";
    fs::create_directories(outside);
    Make({{"d", outside, LinkMode, 6},
          {"d\\f", "planted", 0100644, 6},
          {"d\\", "", 040755, 0},
          {"d\\sub\\g", "planted", 0100644, 6}});
    EXPECT_EQ(Extract(0), 0);
    EXPECT_EQ(LinkAt("d"), outside);
    for (int i = 1; i < 4; ++i) {
        EXPECT_NE(Extract(i), 0) << i;
        EXPECT_EQ(m_zip.GetEntryState(), 0);
    }
    EXPECT_TRUE(fs::is_empty(outside));
    EXPECT_EQ(LinkAt("d"), outside);
}

TEST_F(ZipLinkExtract, ReplacesFilesAndLinksButNotFolders)
{
    const std::string outside = m_dir / "victim";
    WriteFileBytes(outside, "untouched");
    Make({{"was-link", "new-target", LinkMode, 6},
          {"was-file", "new-target", LinkMode, 6},
          {"was-folder", "new-target", LinkMode, 6}});
    fs::create_directories(m_out + "/was-folder");
    WriteFileBytes(m_out + "/was-folder/keep", "k");
    fs::create_symlink(outside, m_out + "/was-link");
    WriteFileBytes(m_out + "/was-file", "old");

    EXPECT_EQ(Extract(0), 0);
    EXPECT_EQ(Extract(1), 0);
    EXPECT_EQ(Extract(2), EISDIR);
    EXPECT_EQ(LinkAt("was-link"), "new-target");
    EXPECT_EQ(LinkAt("was-file"), "new-target");
    EXPECT_EQ(ReadFileBytes(outside), "untouched");
    EXPECT_EQ(ReadFileBytes(m_out + "/was-folder/keep"), "k");
    EXPECT_TRUE(TemporaryLeftovers(m_out).empty());
}

struct BadLinkCase
{
    const char* name;
    std::string target;
    bool corrupt;
    int cause;
};

class ZipBadLink : public ZipLinkExtract, public ::testing::WithParamInterface<BadLinkCase>
{
};

TEST_P(ZipBadLink, NothingIsCreated)
{
    const BadLinkCase& c = GetParam();
    m_archive = m_dir / "l.zip";
    WriteEntries(m_archive, {{"link", c.target, LinkMode, 0}});
    if (c.corrupt)
        FlipByte(m_archive, FirstDataOffset("link") + 1);
    ASSERT_TRUE(m_zip.Open(m_archive, CZipContainer::ArcOpenReadOnly));
    m_out = m_dir / "out";
    fs::create_directories(m_out);
    WriteFileBytes(m_out + "/link", "the user's file");
    EXPECT_EQ(Extract(0), c.cause);
    EXPECT_EQ(m_zip.GetEntryState(), 0);
    EXPECT_EQ(ReadFileBytes(m_out + "/link"), "the user's file");
    EXPECT_TRUE(TemporaryLeftovers(m_out).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Targets, ZipBadLink,
    ::testing::Values(BadLinkCase{"crc", "some/target", true, 102},
                      BadLinkCase{"nul", std::string("a\0b", 3), false, EINVAL},
                      BadLinkCase{"empty", "", false, EINVAL},
                      BadLinkCase{"huge", std::string(70000, 'x'), false,
                                  CZipException::FromErrno(ENAMETOOLONG).GetCause()},
                      BadLinkCase{"tooLongForTheSystem", std::string(5000, 'x'), false,
                                  CZipException::FromErrno(ENAMETOOLONG).GetCause()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ZipLinkExtract, LinksFromInfoZipComeBackAsLinks)
{
    if (!HaveProgram("zip"))
        GTEST_SKIP() << "Info-ZIP zip not installed";
    const std::string src = m_dir / "src";
    fs::create_directories(src + "/folder");
    WriteFileBytes(src + "/folder/file", "content");
    fs::create_symlink("folder/file", src + "/tofile");
    fs::create_symlink("folder", src + "/tofolder");
    fs::create_symlink("/nonexistent/x", src + "/dangling");
    std::string out;
    ASSERT_EQ(RunCommand("cd '" + src + "' && zip -q -y -r ../peer.zip .", &out), 0) << out;
    ASSERT_TRUE(m_zip.Open(m_dir / "peer.zip", CZipContainer::ArcOpenReadOnly));
    m_out = m_dir / "out";
    int links = 0;
    for (int i = 0; i < static_cast<int>(m_zip.GetCount()); ++i) {
        links += m_zip.GetDirectory()[static_cast<std::size_t>(i)].IsSymbolicLink() ? 1 : 0;
        EXPECT_EQ(Extract(i), 0) << i;
        EXPECT_TRUE(m_zip.TestFile(i)) << i;
    }
    EXPECT_EQ(links, 3);
    EXPECT_EQ(LinkAt("tofile"), "folder/file");
    EXPECT_EQ(LinkAt("tofolder"), "folder");
    EXPECT_EQ(LinkAt("dangling"), "/nonexistent/x");
    EXPECT_EQ(ReadFileBytes(m_out + "/folder/file"), "content");
}
