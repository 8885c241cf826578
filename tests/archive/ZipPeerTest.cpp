// Archives written here, judged and extracted by tools nobody here wrote.
#include "TempDir.h"
#include "TestZip.h"
#include "ZipContainer.h"
#include "ZipWriterTestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

using namespace tbmtest;
namespace fs = std::filesystem;

namespace {

struct PeerCase
{
    const char* name;
    int level;
    bool encrypted;
};

const char* const Password = "pa55word";

class ZipPeer : public TempDirTest, public ::testing::WithParamInterface<PeerCase>
{
protected:
    void SetUp() override
    {
        setenv("TZ", "UTC", 1);
        const std::string src = m_dir / "src";
        fs::create_directories(src + "/sub/deeper");
        fs::create_directories(src + "/emptydir");
        m_files = {{"text.txt", Pattern(70000)},
                   {"sub/random.bin", RandomBytes(150000)},
                   {"sub/deeper/small", "abc"},
                   {"empty", ""},
                   {"sub/caf\xC3\xA9.txt", "accented"}};
        for (const auto& [name, data] : m_files)
            WriteFileBytes(src + "/" + name, data);
    }

    std::string Build(const PeerCase& c, bool replaceAndDelete)
    {
        const std::string path = m_dir / "out.zip";
        CZipContainer zip;
        EXPECT_TRUE(zip.Open(path, CZipContainer::ArcCreate));
        if (c.encrypted) {
            EXPECT_TRUE(zip.SetPassword(Password));
        }
        for (const char* folder : {"sub", "sub/deeper", "emptydir"})
            EXPECT_TRUE(Add(zip, folder, c.level, -1));
        for (const auto& [name, data] : m_files)
            EXPECT_TRUE(Add(zip, name, c.level, -1));
        if (replaceAndDelete) {
            EXPECT_TRUE(Add(zip, "doomed", c.level, -1, "text.txt"));
            m_files["text.txt"] = Pattern(20000, 3);
            WriteFileBytes(m_dir / "src/text.txt", m_files["text.txt"]);
            EXPECT_TRUE(Add(zip, "text.txt", c.level, CZipAddInfo::LookUpName));
            const int doomed = zip.GetDirectory().FindName("doomed", true);
            zip.DeleteFiles({doomed});
        }
        zip.Close();
        return path;
    }

    bool Add(CZipContainer& zip, const std::string& name, int level, int replace,
             const std::string& from = {})
    {
        CZipAddInfo info;
        info.m_path = m_dir / ("src/" + (from.empty() ? name : from));
        info.m_nameInArchive = name;
        info.m_level = level;
        info.m_replaceIndex = replace;
        return zip.AddNewFile(info);
    }

    void ExpectExtracted(const std::string& folder)
    {
        for (const auto& [name, data] : m_files)
            EXPECT_EQ(ReadFileBytes(folder + "/" + name), data) << folder << " " << name;
        EXPECT_TRUE(fs::is_directory(folder + "/emptydir")) << folder;
        EXPECT_FALSE(fs::exists(folder + "/doomed")) << folder;
    }

    void JudgeWithEveryPeer(const std::string& archive, bool encrypted)
    {
        const std::string q = "'" + archive + "'";
        const std::string pw = encrypted ? std::string(Password) : std::string();
        std::string out;
        if (HaveProgram("unzip")) {
            const std::string p = encrypted ? " -P " + pw : "";
            EXPECT_EQ(RunCommand("unzip" + p + " -t " + q, &out), 0) << out;
            const std::string to = m_dir / "x-unzip";
            EXPECT_EQ(RunCommand("unzip -q" + p + " " + q + " -d '" + to + "'", &out), 0) << out;
            ExpectExtracted(to);
        }
        if (HaveProgram("7zz")) {
            const std::string p = " -p" + (encrypted ? pw : std::string("none"));
            EXPECT_EQ(RunCommand("7zz t" + p + " " + q, &out), 0) << out;
            const std::string to = m_dir / "x-7zz";
            EXPECT_EQ(RunCommand("7zz x -y" + p + " -o'" + to + "' " + q, &out), 0) << out;
            ExpectExtracted(to);
        }
        if (HaveProgram("bsdtar")) {
            EXPECT_EQ(RunCommand("bsdtar -tf " + q, &out), 0) << out;
            if (!encrypted) {
                const std::string to = m_dir / "x-bsdtar";
                fs::create_directories(to);
                EXPECT_EQ(RunCommand("bsdtar -xf " + q + " -C '" + to + "'", &out), 0) << out;
                ExpectExtracted(to);
            }
        }
        if (HaveProgram("python3")) {
            const std::string to = m_dir / "x-python";
            const std::string script = "import zipfile,sys\n"
                                       "z=zipfile.ZipFile(sys.argv[1])\n"
                                       "pw=sys.argv[3].encode() or None\n"
                                       "z.setpassword(pw)\n"
                                       "bad=z.testzip()\n"
                                       "assert bad is None, bad\n"
                                       "z.extractall(sys.argv[2])\n";
            WriteFileBytes(m_dir / "check.py", script);
            EXPECT_EQ(RunCommand("python3 '" + (m_dir / "check.py") + "' " + q + " '" + to + "' '" +
                                     pw + "'",
                                 &out),
                      0)
                << out;
            ExpectExtracted(to);
        }
    }

    std::map<std::string, std::string> m_files;
};

} // namespace

TEST_P(ZipPeer, PeersTestAndExtractByteIdentical)
{
    if (!HaveProgram("unzip") && !HaveProgram("7zz"))
        GTEST_SKIP() << "no ZIP peer (unzip, 7zz) installed";
    const std::string archive = Build(GetParam(), false);
    JudgeWithEveryPeer(archive, GetParam().encrypted);
}

TEST_P(ZipPeer, ReplacedAndDeletedEntriesStaySound)
{
    if (!HaveProgram("unzip") && !HaveProgram("7zz"))
        GTEST_SKIP() << "no ZIP peer (unzip, 7zz) installed";
    const std::string archive = Build(GetParam(), true);
    JudgeWithEveryPeer(archive, GetParam().encrypted);
}

INSTANTIATE_TEST_SUITE_P(
    Levels, ZipPeer,
    ::testing::Values(PeerCase{"default", -1, false}, PeerCase{"stored", 0, false},
                      PeerCase{"l1", 1, false}, PeerCase{"l2", 2, false}, PeerCase{"l3", 3, false},
                      PeerCase{"l4", 4, false}, PeerCase{"l5", 5, false}, PeerCase{"l6", 6, false},
                      PeerCase{"l7", 7, false}, PeerCase{"l8", 8, false}, PeerCase{"l9", 9, false},
                      PeerCase{"encrypted", 6, true}, PeerCase{"encryptedStored", 0, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TempDirTest, AppendingToAnArchiveMadeByZipKeepsItsEntries)
{
    if (!HaveProgram("zip") || !HaveProgram("unzip"))
        GTEST_SKIP() << "Info-ZIP zip/unzip not installed";
    WriteFileBytes(m_dir / "a.txt", Pattern(9000));
    WriteFileBytes(m_dir / "b.txt", Pattern(5000, 2));
    std::string out;
    ASSERT_EQ(RunCommand("cd '" + m_dir.Str() + "' && zip -q old.zip a.txt", &out), 0) << out;
    CZipContainer zip;
    ASSERT_TRUE(zip.Open(m_dir / "old.zip", CZipContainer::ArcOpen));
    CZipAddInfo info;
    info.m_path = m_dir / "b.txt";
    ASSERT_TRUE(zip.AddNewFile(info));
    zip.Close();
    ASSERT_EQ(RunCommand("unzip -t '" + (m_dir / "old.zip") + "'", &out), 0) << out;
    ASSERT_EQ(RunCommand("unzip -q '" + (m_dir / "old.zip") + "' -d '" + (m_dir / "x") + "'", &out),
              0);
    EXPECT_EQ(ReadFileBytes(m_dir / "x/a.txt"), Pattern(9000));
    EXPECT_EQ(ReadFileBytes(m_dir / "x/b.txt"), Pattern(5000, 2));
}
