// Archives made by other ZIP tools: listed, tested and extracted byte-identical.
#include "TempDir.h"
#include "TestZip.h"
#include "ZipContainer.h"
#include "ZipException.h"
#include "ZipWriterTestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

using namespace tbmtest;
namespace fs = std::filesystem;

namespace {

struct PeerCase
{
    const char* label;
    const char* program;
    // Run in the folder that holds "src"; makes "peer.zip" there.
    const char* command;
    const char* password;
};

const std::map<std::string, std::string>& SourceFiles()
{
    static const std::map<std::string, std::string> files = {
        {"src/empty.txt", ""},
        {"src/text.txt", std::string(5000, 'a') + "tail\n"},
        {"src/random.bin", Pattern(150000, 3)},
        {"src/sub/deeper/mixed.bin", Pattern(40000, 5) + std::string(90000, 'q')},
    };
    return files;
}

class ZipPeerRead : public TempDirTest, public ::testing::WithParamInterface<PeerCase>
{
protected:
    void MakeSource()
    {
        for (const auto& [name, data] : SourceFiles()) {
            fs::create_directories(fs::path(m_dir / name).parent_path());
            WriteFileBytes(m_dir / name, data);
        }
    }
    // Tests every entry, extracts all into "out" and compares with the source.
    void CheckArchive(const std::string& path, const std::string& password)
    {
        CZipContainer zip;
        zip.Open(path, CZipContainer::ArcOpenReadOnly);
        zip.SetPassword(password);
        std::size_t files = 0;
        for (int i = 0; i < static_cast<int>(zip.GetCount()); ++i) {
            EXPECT_TRUE(zip.TestFile(i)) << zip.GetDirectory()[i].m_fileName;
            EXPECT_TRUE(zip.ExtractFile(i, m_dir / "out")) << zip.GetDirectory()[i].m_fileName;
            files += zip.GetDirectory()[i].IsDirectory() ? 0 : 1;
        }
        EXPECT_EQ(files, SourceFiles().size());
        for (const auto& [name, data] : SourceFiles()) {
            EXPECT_EQ(ReadFileBytes(m_dir / ("out/" + name)), data) << name;
            EXPECT_GE(zip.FindFile(fs::path(name).generic_string()), 0) << name;
        }
        zip.Close();
    }
};

} // namespace

TEST_P(ZipPeerRead, TestsAndExtractsByteIdentical)
{
    const PeerCase& c = GetParam();
    if (!HaveProgram(c.program))
        GTEST_SKIP() << c.program << " is not installed";
    MakeSource();
    std::string output;
    ASSERT_EQ(RunCommand("cd '" + m_dir.Str() + "' && " + c.command, &output), 0) << output;
    CheckArchive(m_dir / "peer.zip", c.password);
}

INSTANTIATE_TEST_SUITE_P(
    Peers, ZipPeerRead,
    ::testing::Values(
        PeerCase{"ZipRecursive", "zip", "zip -qr peer.zip src", ""},
        PeerCase{"ZipEncrypted", "zip", "zip -qr -P secret peer.zip src", "secret"},
        PeerCase{"ZipComments", "zip",
                 "zip -qr peer.zip src && printf 'archive note\\n' | zip -qz peer.zip && "
                 "printf 'a\\nb\\nc\\nd\\n' | zip -qc peer.zip src/text.txt src/empty.txt "
                 "src/random.bin src/sub/deeper/mixed.bin",
                 ""},
        PeerCase{"ZipStreamed", "zip", "zip -qr - src | cat > peer.zip", ""},
        PeerCase{"SevenZipStore", "7zz", "7zz a -tzip -mx=0 peer.zip src >/dev/null", ""},
        PeerCase{"SevenZipFast", "7zz", "7zz a -tzip -mx=1 peer.zip src >/dev/null", ""},
        PeerCase{"SevenZipNormal", "7zz", "7zz a -tzip -mx=5 peer.zip src >/dev/null", ""},
        PeerCase{"SevenZipUltra", "7zz", "7zz a -tzip -mx=9 peer.zip src >/dev/null", ""},
        PeerCase{"SevenZipEncrypted", "7zz",
                 "7zz a -tzip -mem=ZipCrypto -ppw7 peer.zip src >/dev/null", "pw7"},
        PeerCase{"Bsdtar", "bsdtar", "bsdtar --format zip -cf peer.zip src", ""},
        PeerCase{"PythonStored", "python3",
                 "python3 -c \"import zipfile,os\nz=zipfile.ZipFile('peer.zip','w',zipfile.ZIP_"
                 "STORED)\nfor r,d,f in os.walk('src'):\n for n in f: z.write(os.path.join(r,n))"
                 "\nz.close()\"",
                 ""},
        PeerCase{"PythonDeflatedToPipe", "python3",
                 "python3 -c \"import zipfile,os,sys\nz=zipfile.ZipFile(sys.stdout.buffer,'w',"
                 "zipfile.ZIP_DEFLATED)\nfor r,d,f in os.walk('src'):\n for n in f: "
                 "z.write(os.path.join(r,n))\nz.close()\" | cat > peer.zip",
                 ""},
        PeerCase{"PythonStoredToPipe", "python3",
                 "python3 -c \"import zipfile,os,sys\nz=zipfile.ZipFile(sys.stdout.buffer,'w',"
                 "zipfile.ZIP_STORED)\nfor r,d,f in os.walk('src'):\n for n in f: "
                 "z.write(os.path.join(r,n))\nz.close()\" | cat > peer.zip",
                 ""}),
    [](const auto& info) { return std::string(info.param.label); });

// zip -s writes title.z01, title.z02, ..., title.zip; under this product's names
// they are title.000, title.001, ... and the last one title.tbm.
TEST_F(ZipPeerRead, SplitSetFromZipUnderOurNames)
{
    if (!HaveProgram("zip"))
        GTEST_SKIP() << "zip is not installed";
    MakeSource();
    std::string output;
    ASSERT_EQ(RunCommand("cd '" + m_dir.Str() + "' && zip -qr -s 64k split.zip src", &output), 0)
        << output;
    int parts = 0;
    while (fs::exists(m_dir /
                      ("split.z" + std::string(parts < 9 ? "0" : "") + std::to_string(parts + 1))))
        ++parts;
    ASSERT_GE(parts, 2);
    for (int i = 0; i < parts; ++i) {
        char number[16];
        std::snprintf(number, sizeof number, "%03d", i);
        const std::string from =
            std::string("split.z") + (i + 1 < 10 ? "0" : "") + std::to_string(i + 1);
        fs::rename(m_dir / from, m_dir / ("title." + std::string(number)));
    }
    fs::rename(m_dir / "split.zip", m_dir / "title.tbm");
    CheckArchive(m_dir / "title.tbm", "");
}
