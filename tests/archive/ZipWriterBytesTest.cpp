// The records an archive written into memory consists of, byte by byte.
#include "TempDir.h"
#include "TestZip.h"
#include "VolumeStoreTestUtil.h"
#include "ZipContainer.h"
#include "ZipMemoryFile.h"
#include "ZipWriterTestUtil.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace tbmtest;

namespace {

constexpr std::uint32_t LocalSig = 0x04034B50;
constexpr std::uint32_t CentralSig = 0x02014B50;
constexpr std::uint32_t DescriptorSig = 0x08074B50;
constexpr std::uint32_t EndSig = 0x06054B50;

class ZipWriterBytes : public TempDirTest
{
protected:
    void SetUp() override { setenv("TZ", "UTC", 1); }

    // Writes one entry of `data` through the low-level writer.
    void WriteEntry(const std::string& name, const std::string& data, int level)
    {
        CZipEntryHeader header;
        header.m_fileName = name;
        header.m_externalAttr = 0x81A40020;
        header.SetTime(0x60000000);
        ASSERT_TRUE(m_zip.OpenNewFile(header, level));
        m_zip.WriteNewFile(data.data(), static_cast<std::uint32_t>(data.size()));
        m_zip.CloseNewFile();
    }
    std::string Bytes() const { return std::string(m_memory.GetData(), m_memory.GetLength()); }

    CZipMemoryFile m_memory;
    CZipContainer m_zip;
};

} // namespace

class ZipWriterLevels : public ZipWriterBytes, public ::testing::WithParamInterface<int>
{
};

TEST_P(ZipWriterLevels, RecordsCarryFlagsVersionsAndSizes)
{
    const int level = GetParam();
    ASSERT_TRUE(m_zip.Open(m_memory, CZipContainer::ArcCreate));
    const std::string data = Pattern(5000);
    WriteEntry("dir/a.txt", data, level);
    m_zip.Close();
    const std::string bytes = Bytes();

    ASSERT_EQ(At32(bytes, 0), LocalSig);
    const std::uint16_t expectedFlags = level == 1 ? 6 : level == 2 ? 4 : level >= 8 ? 2 : 0;
    EXPECT_EQ(At16(bytes, 4), 20); // version needed
    EXPECT_EQ(At16(bytes, 6), level == 0 ? 0 : expectedFlags);
    EXPECT_EQ(At16(bytes, 8), level == 0 ? 0 : 8); // method
    EXPECT_EQ(At32(bytes, 14), Crc(data));         // patched in place
    EXPECT_EQ(At32(bytes, 22), data.size());
    EXPECT_EQ(bytes.substr(30, 9), "dir/a.txt");
    // The extended timestamp: "UT", 5 bytes, flags 1, the time in UTC.
    ASSERT_EQ(At16(bytes, 28), 9);
    EXPECT_EQ(bytes.substr(39, 5), std::string("UT\x05\x00\x01", 5));
    EXPECT_EQ(At32(bytes, 44), 0x60000000u);
    EXPECT_TRUE(FindSignatures(bytes, DescriptorSig).empty());

    const auto central = FindSignatures(bytes, CentralSig);
    ASSERT_EQ(central.size(), 1u);
    const std::size_t c = central[0];
    EXPECT_EQ(At16(bytes, c + 4), 0x0314); // Unix, 2.0
    EXPECT_EQ(At16(bytes, c + 8), At16(bytes, 6));
    EXPECT_EQ(At32(bytes, c + 20), At32(bytes, 18));
    EXPECT_EQ(At16(bytes, c + 30), 9); // the same timestamp, nothing else
    EXPECT_EQ(bytes.substr(c + 46 + 9, 9), bytes.substr(39, 9));
    EXPECT_EQ(At32(bytes, c + 38), 0x81A40020u);
    EXPECT_EQ(At32(bytes, c + 42), 0u);
    EXPECT_EQ(30 + 9 + 9 + At32(bytes, 18), c); // data runs up to the directory

    const std::size_t e = bytes.size() - 22;
    ASSERT_EQ(At32(bytes, e), EndSig);
    EXPECT_EQ(At16(bytes, e + 8), 1);
    EXPECT_EQ(At16(bytes, e + 10), 1);
    EXPECT_EQ(At32(bytes, e + 12), e - c);
    EXPECT_EQ(At32(bytes, e + 16), c);
}

INSTANTIATE_TEST_SUITE_P(AllLevels, ZipWriterLevels, ::testing::Range(-1, 10));

TEST_F(ZipWriterBytes, EncryptedEntryHasDescriptorAndTwelveByteHeader)
{
    ASSERT_TRUE(m_zip.Open(m_memory, CZipContainer::ArcCreate));
    ASSERT_TRUE(m_zip.SetPassword("secret"));
    WriteEntry("e.bin", Pattern(3000), 6);
    m_zip.Close();
    const std::string bytes = Bytes();
    EXPECT_EQ(At16(bytes, 6), 0x0009);
    const auto descriptors = FindSignatures(bytes, DescriptorSig);
    ASSERT_EQ(descriptors.size(), 1u);
    const std::size_t d = descriptors[0];
    EXPECT_EQ(At32(bytes, d + 4), Crc(Pattern(3000)));
    EXPECT_EQ(At32(bytes, d + 8), d - 30 - 5 - 9);  // includes the encryption header
    EXPECT_EQ(At32(bytes, 18), At32(bytes, d + 8)); // and the local header is patched
    const std::size_t c = FindSignatures(bytes, CentralSig).at(0);
    EXPECT_EQ(At32(bytes, c + 20), At32(bytes, d + 8));
}

TEST_F(ZipWriterBytes, DirectoryIsStoredWithVersionTen)
{
    ASSERT_TRUE(m_zip.Open(m_memory, CZipContainer::ArcCreate));
    CZipEntryHeader header;
    header.m_fileName = "folder";
    header.m_externalAttr = 0x41ED0010;
    ASSERT_TRUE(m_zip.OpenNewFile(header, 9));
    m_zip.CloseNewFile();
    m_zip.Close();
    const std::string bytes = Bytes();
    EXPECT_EQ(At16(bytes, 4), 10);
    EXPECT_EQ(At16(bytes, 8), 0);
    EXPECT_EQ(bytes.substr(30, 7), "folder/");
    EXPECT_EQ(At32(bytes, 18), 0u);
}

TEST_F(ZipWriterBytes, NonAsciiNameIsUtf8WithBit11)
{
    ASSERT_TRUE(m_zip.Open(m_memory, CZipContainer::ArcCreate));
    WriteEntry("caf\xC3\xA9\\x.txt", "abcdef", 6);
    WriteEntry("plain.txt", "abcdef", 6);
    m_zip.Close();
    const std::string bytes = Bytes();
    const auto locals = FindSignatures(bytes, LocalSig);
    ASSERT_EQ(locals.size(), 2u);
    EXPECT_EQ(At16(bytes, locals[0] + 6) & 0x800, 0x800);
    EXPECT_EQ(bytes.substr(locals[0] + 30, 11), "caf\xC3\xA9/x.txt");
    EXPECT_EQ(At16(bytes, locals[1] + 6) & 0x800, 0);
}

TEST_F(ZipWriterBytes, SpannedArchiveUsesDescriptorsWithSignature)
{
    CZipContainer zip;
    const std::string path = m_dir / "span.tbm";
    ASSERT_TRUE(zip.Open(path, CZipContainer::ArcCreateSpanned, 3000));
    CZipEntryHeader header;
    header.m_fileName = "big.bin";
    header.m_externalAttr = 0x81A40020;
    ASSERT_TRUE(zip.OpenNewFile(header, 0));
    const std::string data = RandomBytes(5000);
    zip.WriteNewFile(data.data(), 5000);
    zip.CloseNewFile();
    zip.Close();
    const std::string first = ReadFileBytes(m_dir / "span.000");
    EXPECT_EQ(At32(first, 0), DescriptorSig); // spanning signature
    EXPECT_EQ(At16(first, 4 + 6), 0x0008);
    EXPECT_EQ(At32(first, 4 + 18), 0u); // sizes stay 0 in the local header
    const std::string last = ReadFileBytes(m_dir / "span.tbm");
    ASSERT_EQ(FindSignatures(last, DescriptorSig).size(), 1u);
}

TEST_F(ZipWriterBytes, ReadBackKeepsEveryField)
{
    ASSERT_TRUE(m_zip.Open(m_memory, CZipContainer::ArcCreate));
    WriteEntry("one", Pattern(100), 6);
    WriteEntry("two\\three", Pattern(200), 0);
    m_zip.Close();
    CZipContainer again;
    ASSERT_TRUE(again.Open(m_memory, CZipContainer::ArcOpen));
    ASSERT_EQ(again.GetCount(), 2u);
    EXPECT_EQ(again.GetDirectory()[1].m_fileName, "two\\three");
    EXPECT_EQ(again.GetDirectory()[1].m_crc, Crc(Pattern(200)));
    EXPECT_EQ(again.GetSystemId(), 3);
    again.Close();
}

// 65,534 entries still fit the plain end record; the 65,535th, added to the archive
// read back, brings the zip64 end record and its locator, with escapes in the end
// record.
TEST_F(ZipWriterBytes, The65535thEntryBringsTheZip64End)
{
    ASSERT_TRUE(m_zip.Open(m_memory, CZipContainer::ArcCreate));
    m_zip.SetBuffers(1024, 1024, 1024);
    CZipEntryHeader header;
    header.m_externalAttr = 0x81A40020;
    for (int i = 0; i < 65534; ++i) {
        header.m_fileName = std::to_string(i);
        ASSERT_TRUE(m_zip.OpenNewFile(header, 0)) << i;
        m_zip.CloseNewFile();
    }
    m_zip.Close();
    std::string bytes = Bytes();
    EXPECT_EQ(At16(bytes, bytes.size() - 22 + 10), 65534);
    EXPECT_NE(At32(bytes, bytes.size() - 22 - 20), 0x07064B50u);

    ASSERT_TRUE(m_zip.Open(m_memory, CZipContainer::ArcOpen));
    header.m_fileName = "last";
    ASSERT_TRUE(m_zip.OpenNewFile(header, 0));
    m_zip.CloseNewFile();
    m_zip.Close();
    bytes = Bytes();
    EXPECT_EQ(At16(bytes, bytes.size() - 22 + 10), 0xFFFF);
    EXPECT_EQ(At32(bytes, bytes.size() - 22 - 20), 0x07064B50u);
    EXPECT_EQ(At32(bytes, bytes.size() - 22 - 20 - 56), 0x06064B50u);
    ASSERT_TRUE(m_zip.Open(m_memory, CZipContainer::ArcOpenReadOnly));
    EXPECT_EQ(m_zip.GetCount(), 65535u);
    EXPECT_EQ(m_zip.FindFile("last"), 65534);
    m_zip.Close();
}

TEST_F(ZipWriterBytes, PasswordOutsideAsciiIsRefusedAndCleared)
{
    EXPECT_TRUE(m_zip.SetPassword("good"));
    EXPECT_FALSE(m_zip.SetPassword("bad\x80"));
    EXPECT_EQ(m_zip.GetPassword(), "");
    EXPECT_TRUE(m_zip.SetPassword(""));
}

TEST_F(ZipWriterBytes, NameLongerThan65535IsRefused)
{
    ASSERT_TRUE(m_zip.Open(m_memory, CZipContainer::ArcCreate));
    CZipEntryHeader header;
    header.m_fileName = std::string(65536, 'n');
    EXPECT_EQ(CauseOf([&] { m_zip.OpenNewFile(header, 0); }), 109);
    EXPECT_EQ(m_zip.GetCount(), 0u);
}
