// AES-256 entries through the archive: written and read back by us and by peers,
// refused with a wrong password, caught when tampered with, copied unchanged.
#include "TempDir.h"
#include "VolumeStoreTestUtil.h"
#include "ZipContainer.h"
#include "ZipException.h"
#include "ZipExtraField.h"
#include "ZipWriterTestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <vector>

using namespace tbmtest;
namespace fs = std::filesystem;

namespace {

const std::string Password = "correct horse";

class ZipAesEntry : public TempDirTest
{
protected:
    void SetUp() override
    {
        m_files = {{"text.txt", std::string(50000, 'a') + "end"},
                   {"sub/random.bin", RandomBytes(70000)},
                   {"empty", ""}};
        for (const auto& [name, data] : m_files) {
            fs::create_directories(fs::path(m_dir / ("src/" + name)).parent_path());
            WriteFileBytes(m_dir / ("src/" + name), data);
        }
    }

    // Every file at `level`, AES-encrypted, and the folder "sub".
    std::string Build(int level)
    {
        const std::string path = m_dir / "aes.zip";
        CZipContainer zip;
        EXPECT_TRUE(zip.Open(path, CZipContainer::ArcCreate));
        EXPECT_TRUE(zip.SetPassword(Password));
        zip.SetEncryption(CZipContainer::EncryptAes256);
        CZipAddInfo folder;
        folder.m_path = m_dir / "src/sub";
        folder.m_nameInArchive = "sub";
        EXPECT_TRUE(zip.AddNewFile(folder));
        for (const auto& [name, data] : m_files) {
            CZipAddInfo info;
            info.m_path = m_dir / ("src/" + name);
            info.m_nameInArchive = name;
            info.m_level = level;
            EXPECT_TRUE(zip.AddNewFile(info));
        }
        zip.Close();
        return path;
    }

    void ExpectFiles(const std::string& folder)
    {
        for (const auto& [name, data] : m_files)
            EXPECT_EQ(ReadFileBytes(folder + "/" + name), data) << folder << " " << name;
    }

    std::map<std::string, std::string> m_files;
};

} // namespace

TEST_F(ZipAesEntry, OurEntriesAreAes256AndReadBackByUsAndPeers)
{
    for (int level : {0, 6}) {
        SCOPED_TRACE(level);
        const std::string path = Build(level);
        CZipContainer zip;
        ASSERT_TRUE(zip.Open(path, CZipContainer::ArcOpenReadOnly));
        ASSERT_EQ(zip.GetCount(), 4u);
        // The folder and the empty file go in unencrypted: they hold nothing.
        for (const char* name : {"text.txt", "sub\\random.bin"}) {
            CZipEntryHeader header;
            zip.GetFileInfo(header, zip.FindFile(name));
            ZipExtraField::AesInfo info;
            EXPECT_EQ(header.m_method, CZipEntryHeader::MethodAes);
            ASSERT_TRUE(ZipExtraField::GetAes(header.m_extraField, info));
            EXPECT_EQ(info.strength, 3);
            EXPECT_EQ(info.version, 2);
            EXPECT_EQ(header.m_crc, 0u); // AE-2: the CRC would tell about the data
        }
        zip.SetPassword(Password);
        const std::string ours = m_dir / ("ours" + std::to_string(level));
        for (std::size_t i = 0; i < zip.GetCount(); ++i)
            EXPECT_TRUE(zip.ExtractFile(static_cast<int>(i), ours));
        zip.Close();
        ExpectFiles(ours);

        std::string out;
        if (HaveProgram("7zz")) {
            EXPECT_EQ(RunCommand("7zz t -p'" + Password + "' " + Quote(path), &out), 0) << out;
            const std::string to = m_dir / ("7zz" + std::to_string(level));
            EXPECT_EQ(RunCommand("7zz x -y -p'" + Password + "' -o" + Quote(to) + " " + Quote(path),
                                 &out),
                      0)
                << out;
            ExpectFiles(to);
            EXPECT_NE(RunCommand("7zz t -pwrong " + Quote(path), &out), 0);
        }
        if (HaveProgram("bsdtar")) {
            const std::string to = m_dir / ("bsdtar" + std::to_string(level));
            fs::create_directories(to);
            EXPECT_EQ(RunCommand("bsdtar -xf " + Quote(path) + " --passphrase '" + Password +
                                     "' -C " + Quote(to),
                                 &out),
                      0)
                << out;
            ExpectFiles(to);
        }
    }
}

// A wrong password fails at the verifier (or, once in 65,536, at the code); a
// changed byte of ciphertext or code fails the authentication, and extraction then
// leaves nothing behind.
TEST_F(ZipAesEntry, WrongPasswordAndTamperingAreRefused)
{
    const std::string path = Build(0);
    {
        CZipContainer zip;
        ASSERT_TRUE(zip.Open(path, CZipContainer::ArcOpenReadOnly));
        for (const char* wrong : {"correct horse!", "Correct horse", "x"}) {
            zip.SetPassword(wrong);
            const int cause = CauseOf([&] { zip.TestFile(zip.FindFile("text.txt")); });
            EXPECT_TRUE(cause == CZipException::ErrBadPassword ||
                        cause == CZipException::ErrAuthentication)
                << wrong << " " << cause;
        }
    }
    CZipEntryHeader text;
    {
        CZipContainer zip;
        ASSERT_TRUE(zip.Open(path, CZipContainer::ArcOpenReadOnly));
        zip.GetFileInfo(text, zip.FindFile("text.txt"));
    }
    const std::string original = ReadFileBytes(path);
    const std::size_t dataStart = text.m_offset + 30 + 8 /* name */ + 9 /* UT */ + 11 /* AES */;
    const std::size_t codeStart = text.m_offset + 30 + 8 + 9 + 11 + text.m_compressedSize - 10;
    ASSERT_EQ(std::string(original, dataStart - 11, 2), std::string("\x01\x99", 2));
    for (std::size_t at : {dataStart + 18, dataStart + 30000, codeStart, codeStart + 9}) {
        SCOPED_TRACE(at);
        std::string changed = original;
        changed[at] = static_cast<char>(changed[at] ^ 0x20);
        WriteFileBytes(path, changed);
        CZipContainer zip;
        ASSERT_TRUE(zip.Open(path, CZipContainer::ArcOpenReadOnly));
        zip.SetPassword(Password);
        const int index = zip.FindFile("text.txt");
        EXPECT_EQ(CauseOf([&] { zip.TestFile(index); }), CZipException::ErrAuthentication);
        const std::string to = m_dir / "tampered";
        EXPECT_EQ(CauseOf([&] { zip.ExtractFile(index, to); }), CZipException::ErrAuthentication);
        EXPECT_FALSE(fs::exists(to) && !fs::is_empty(to));
    }
}

// An entry copied into another archive keeps its bytes: no password is needed and
// peers still read it.
TEST_F(ZipAesEntry, CopiedEntriesStayAsTheyWere)
{
    const std::string path = Build(6);
    const std::string copy = m_dir / "copy.zip";
    CZipContainer source;
    ASSERT_TRUE(source.Open(path, CZipContainer::ArcOpenReadOnly));
    CZipContainer target;
    ASSERT_TRUE(target.Open(copy, CZipContainer::ArcCreate));
    for (std::size_t i = 0; i < source.GetCount(); ++i)
        ASSERT_TRUE(target.GetFromArchive(source, static_cast<int>(i)));
    target.Close();
    source.Close();
    if (HaveProgram("7zz")) {
        std::string out;
        EXPECT_EQ(RunCommand("7zz t -p'" + Password + "' " + Quote(copy), &out), 0) << out;
    }
    CZipContainer back;
    ASSERT_TRUE(back.Open(copy, CZipContainer::ArcOpenReadOnly));
    back.SetPassword(Password);
    for (std::size_t i = 0; i < back.GetCount(); ++i)
        EXPECT_TRUE(back.TestFile(static_cast<int>(i)));
}

TEST_F(ZipAesEntry, ReadsSevenZipAesArchives)
{
    if (!HaveProgram("7zz"))
        GTEST_SKIP() << "7zz is not installed";
    for (const char* method : {"AES256", "AES128"}) {
        SCOPED_TRACE(method);
        const std::string path = m_dir / (std::string(method) + ".zip");
        std::string out;
        ASSERT_EQ(RunCommand("cd " + Quote(m_dir / "src") + " && 7zz a -tzip -bd -mem=" + method +
                                 " -p'" + Password + "' " + Quote(path) + " . >/dev/null",
                             &out),
                  0)
            << out;
        CZipContainer zip;
        ASSERT_TRUE(zip.Open(path, CZipContainer::ArcOpenReadOnly));
        zip.SetPassword(Password);
        const std::string to = m_dir / (std::string("x") + method);
        for (std::size_t i = 0; i < zip.GetCount(); ++i)
            EXPECT_TRUE(zip.ExtractFile(static_cast<int>(i), to));
        ExpectFiles(to);
    }
}

// A fixed-size set of small volumes: AES entries and one with zip64 sizes in its
// local header cross volume borders, and each reads back on its own, in any order.
TEST_F(ZipAesEntry, EntriesOfAVolumeSetReadInAnyOrder)
{
    const std::string archive = m_dir / "set.tbm";
    std::vector<std::string> data;
    {
        CZipContainer zip;
        ASSERT_TRUE(zip.Open(archive, CZipContainer::ArcCreateSpanned, 64 * 1024));
        ASSERT_TRUE(zip.SetPassword(Password));
        zip.SetEncryption(CZipContainer::EncryptAes256);
        for (int i = 0; i < 6; ++i) {
            data.push_back(RandomBytes(40000 + 1000 * i, static_cast<unsigned>(i)));
            CZipEntryHeader header;
            header.m_fileName = "f" + std::to_string(i);
            header.SetTime(1700000000);
            const std::uint64_t hint = i == 3 ? CZipEntryHeader::Zip64LocalThreshold : 0;
            ASSERT_TRUE(zip.OpenNewFile(header, i % 2 ? 6 : 0, {}, hint));
            zip.WriteNewFile(data.back().data(), static_cast<std::uint32_t>(data.back().size()));
            zip.CloseNewFile();
        }
        zip.Close();
    }
    ASSERT_TRUE(fs::exists(m_dir / "set.002")); // it did span
    CZipContainer zip;
    ASSERT_TRUE(zip.Open(archive, CZipContainer::ArcOpenReadOnly));
    zip.SetPassword(Password);
    for (int i : {5, 0, 3, 1, 4, 2}) {
        SCOPED_TRACE(i);
        const std::string to = m_dir / ("x" + std::to_string(i));
        ASSERT_TRUE(zip.ExtractFile(i, to));
        EXPECT_EQ(ReadFileBytes(to + "/f" + std::to_string(i)), data[static_cast<std::size_t>(i)]);
    }
    zip.Close();
}
