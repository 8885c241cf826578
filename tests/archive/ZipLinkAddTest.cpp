// Symbolic links are stored as links: Unix link type in the attributes, the target
// as data, the link's own time; never followed.
#include "TempDir.h"
#include "TestZip.h"
#include "ZipAttributes.h"
#include "ZipContainer.h"
#include "ZipWriterTestUtil.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>

using namespace tbmtest;
namespace fs = std::filesystem;

namespace {

constexpr std::time_t LinkTime = 1400000000;   // the links' own time
constexpr std::time_t TargetTime = 1600000000; // what they point at

void SetLinkTime(const std::string& path, std::time_t time)
{
    struct timespec times[2] = {};
    times[0].tv_sec = times[1].tv_sec = time;
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

struct LinkCase
{
    const char* name;
    int level;
    bool encrypted;
};

const char* const Password = "linkpw";

class ZipLinkAdd : public TempDirTest, public ::testing::WithParamInterface<LinkCase>
{
protected:
    void SetUp() override
    {
        setenv("TZ", "UTC", 1);
        m_src = m_dir / "src";
        fs::create_directories(m_src + "/folder");
        WriteFileBytes(m_src + "/folder/file.txt", Pattern(5000));
        SetLinkTime(m_src + "/folder/file.txt", TargetTime);
        SetLinkTime(m_src + "/folder", TargetTime);
        // A long target compresses: the level must show in the entry.
        m_targets = {{"tofile", "folder/file.txt"},
                     {"tofolder", "folder"},
                     {"dangling", "../nowhere/at/all"},
                     {"absolute", "/"},
                     {"long", std::string(120, 'a') + "/" + std::string(120, 'a')}};
        for (const auto& [name, target] : m_targets) {
            fs::create_symlink(target, m_src + "/" + name);
            SetLinkTime(m_src + "/" + name, LinkTime);
        }
    }

    std::string Build(const LinkCase& c)
    {
        const std::string path = m_dir / "links.zip";
        CZipContainer zip;
        EXPECT_TRUE(zip.Open(path, CZipContainer::ArcCreate));
        if (c.encrypted) {
            EXPECT_TRUE(zip.SetPassword(Password));
        }
        for (const auto& [name, target] : m_targets) {
            CZipAddInfo info;
            info.m_path = m_src + "/" + name;
            info.m_level = c.level;
            EXPECT_TRUE(zip.AddNewFile(info)) << name;
        }
        zip.Close();
        return path;
    }

    std::string m_src;
    std::map<std::string, std::string> m_targets;
};

std::string ReadEntry(CZipContainer& zip, int index)
{
    EXPECT_TRUE(zip.OpenFile(index));
    std::string data(70000, '\0');
    data.resize(zip.ReadFile(data.data(), static_cast<std::uint32_t>(data.size())));
    EXPECT_EQ(zip.CloseFile(), 1);
    return data;
}

} // namespace

TEST_P(ZipLinkAdd, EntriesAreLinksWithTheTargetAsData)
{
    const LinkCase& c = GetParam();
    const std::string path = Build(c);
    CZipContainer zip;
    ASSERT_TRUE(zip.Open(path, CZipContainer::ArcOpenReadOnly));
    if (c.encrypted) {
        ASSERT_TRUE(zip.SetPassword(Password));
    }
    ASSERT_EQ(zip.GetCount(), m_targets.size());
    CZipEntryHeader expectedTime;
    expectedTime.SetTime(LinkTime);
    for (int i = 0; i < static_cast<int>(zip.GetCount()); ++i) {
        const CZipEntryHeader& h = zip.GetDirectory()[static_cast<std::size_t>(i)];
        SCOPED_TRACE(h.m_fileName);
        EXPECT_TRUE(h.IsSymbolicLink());
        EXPECT_FALSE(h.IsDirectory());
        EXPECT_EQ(h.GetSystem(), ZipAttributes::SystemUnix);
        EXPECT_EQ(h.m_externalAttr >> 16, 0120777u);
        EXPECT_EQ(h.m_modTime, expectedTime.m_modTime);
        EXPECT_EQ(h.m_modDate, expectedTime.m_modDate);
        EXPECT_EQ(h.IsEncrypted(), c.encrypted);
        EXPECT_EQ(ReadEntry(zip, i), m_targets.at(h.m_fileName));
        EXPECT_TRUE(zip.TestFile(i));
    }
    const int longIndex = zip.FindFile("long");
    ASSERT_GE(longIndex, 0);
    const CZipEntryHeader& longEntry = zip.GetDirectory()[static_cast<std::size_t>(longIndex)];
    EXPECT_EQ(longEntry.m_method, c.level == 0 ? 0 : 8);
    if (c.level != 0) {
        EXPECT_LT(longEntry.GetDataSize(), longEntry.m_uncompressedSize);
    }
}

TEST_P(ZipLinkAdd, PeersSeeLinks)
{
    const LinkCase& c = GetParam();
    const std::string archive = Build(c);
    const std::string q = "'" + archive + "'";
    const std::string pw = c.encrypted ? std::string(" -P ") + Password : std::string();
    std::string out;
    if (HaveProgram("zipinfo")) {
        ASSERT_EQ(RunCommand("zipinfo " + q, &out), 0) << out;
        int links = 0;
        for (const std::string& line : Lines(out))
            if (!line.empty() && line[0] == 'l')
                ++links;
        EXPECT_EQ(links, static_cast<int>(m_targets.size())) << out;
    }
    if (HaveProgram("unzip")) {
        EXPECT_EQ(RunCommand("unzip" + pw + " -t " + q, &out), 0) << out;
        const std::string to = m_dir / "x-unzip";
        ASSERT_EQ(RunCommand("unzip -q" + pw + " " + q + " -d '" + to + "'", &out), 0) << out;
        for (const auto& [name, target] : m_targets) {
            EXPECT_TRUE(fs::is_symlink(to + "/" + name)) << name;
            EXPECT_EQ(fs::read_symlink(to + "/" + name).string(), target) << name;
        }
    }
    if (HaveProgram("python3")) {
        const std::string script = "import zipfile,sys\n"
                                   "z=zipfile.ZipFile(sys.argv[1])\n"
                                   "z.setpassword(sys.argv[2].encode() or None)\n"
                                   "for i in z.infolist():\n"
                                   "  print(i.filename + '=' + z.read(i).decode())\n";
        WriteFileBytes(m_dir / "read.py", script);
        ASSERT_EQ(RunCommand("python3 '" + (m_dir / "read.py") + "' " + q + " '" +
                                 (c.encrypted ? Password : "") + "'",
                             &out),
                  0)
            << out;
        for (const auto& [name, target] : m_targets)
            EXPECT_NE(out.find(name + "=" + target + "\n"), std::string::npos) << name << out;
    }
    if (HaveProgram("bsdtar") && !c.encrypted) {
        out.clear();
        ASSERT_EQ(RunCommand("bsdtar -tvf " + q, &out), 0) << out;
        for (const auto& [name, target] : m_targets)
            EXPECT_NE(out.find(name + " -> " + target), std::string::npos) << name << out;
        for (const std::string& line : Lines(out))
            EXPECT_EQ(line.substr(0, 1), "l") << line;
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, ZipLinkAdd,
                         ::testing::Values(LinkCase{"default", -1, false},
                                           LinkCase{"stored", 0, false}, LinkCase{"best", 9, false},
                                           LinkCase{"encrypted", 6, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TempDirTest, LinkToAFolderIsNotWalkedAndOpenNewFileTakesTheLinkItself)
{
    fs::create_directories(m_dir / "real");
    WriteFileBytes(m_dir / "real/inside", "x");
    fs::create_directory_symlink("real", m_dir / "link");
    SetLinkTime(m_dir / "link", LinkTime);
    CZipContainer zip;
    ASSERT_TRUE(zip.Open(m_dir / "a.zip", CZipContainer::ArcCreate));
    // A trailing separator still names the link, not the folder it points at.
    CZipAddInfo info;
    info.m_path = m_dir / "link/";
    ASSERT_TRUE(zip.AddNewFile(info));
    CZipEntryHeader header;
    header.m_fileName = "by-hand";
    ASSERT_TRUE(zip.OpenNewFile(header, 6, m_dir / "link"));
    zip.WriteNewFile("real", 4);
    zip.CloseNewFile();
    zip.Close();

    ASSERT_TRUE(zip.Open(m_dir / "a.zip", CZipContainer::ArcOpenReadOnly));
    ASSERT_EQ(zip.GetCount(), 2u);
    CZipEntryHeader expectedTime;
    expectedTime.SetTime(LinkTime);
    for (int i = 0; i < 2; ++i) {
        const CZipEntryHeader& h = zip.GetDirectory()[static_cast<std::size_t>(i)];
        EXPECT_TRUE(h.IsSymbolicLink()) << h.m_fileName;
        EXPECT_EQ(h.m_modDate, expectedTime.m_modDate) << h.m_fileName;
        EXPECT_EQ(ReadEntry(zip, i), "real");
    }
    EXPECT_EQ(zip.GetDirectory()[0].m_fileName, "link");
}

TEST_F(TempDirTest, LinkEntriesSurviveTrialCompressionAndTheGainCheck)
{
    fs::create_symlink("target-of-a-link", m_dir / "l");
    CZipContainer zip;
    ASSERT_TRUE(zip.Open(m_dir / "a.zip", CZipContainer::ArcCreate));
    CZipAddInfo info;
    info.m_path = m_dir / "l";
    info.m_smartFlags = CZipAddInfo::DefaultSmartFlags | CZipAddInfo::SmartCheckGain;
    ASSERT_TRUE(zip.AddNewFile(info)); // deflate does not pay: stored again
    info.m_replaceIndex = 0;           // replacing goes through a trial archive
    info.m_nameInArchive = "l";
    ASSERT_TRUE(zip.AddNewFile(info));
    info.m_replaceIndex = -1;
    info.m_nameInArchive = "second";
    ASSERT_TRUE(zip.AddNewFile(info));
    info.m_replaceIndex = CZipAddInfo::LookUpName;
    info.m_nameInArchive = "l";
    ASSERT_TRUE(zip.AddNewFile(info)); // a replacement in the middle
    zip.Close();
    ASSERT_TRUE(zip.Open(m_dir / "a.zip", CZipContainer::ArcOpenReadOnly));
    ASSERT_EQ(zip.GetCount(), 2u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(zip.GetDirectory()[static_cast<std::size_t>(i)].IsSymbolicLink());
        EXPECT_EQ(zip.GetDirectory()[static_cast<std::size_t>(i)].m_method, 0);
        EXPECT_EQ(ReadEntry(zip, i), "target-of-a-link");
    }
    if (UnzipAvailable()) {
        EXPECT_TRUE(UnzipTests(m_dir / "a.zip"));
    }
}
