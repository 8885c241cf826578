// Opening archives, the end-record search, lookup and the entry reader.
#include "TempDir.h"
#include "TestZip.h"
#include "ZipContainer.h"
#include "ZipException.h"
#include "ZipMemoryFile.h"
#include "ZipWriterTestUtil.h"

#include <gtest/gtest.h>

using namespace tbmtest;

namespace {

// One stored entry with a descriptor (signature optional), its central record and
// the end record with `comment`.
std::string OneEntryArchive(const std::string& name, const std::string& data,
                            const std::string& comment = {}, bool descriptorSignature = true)
{
    std::string entry = SpannedEntry(name, data);
    if (!descriptorSignature)
        entry.erase(entry.size() - 16, 4);
    const std::string central = CentralRecord(name, data, 0x0008, 0);
    std::string end = EndRecord(0, 0, 1, 1, static_cast<std::uint32_t>(central.size()),
                                static_cast<std::uint32_t>(entry.size()));
    end.replace(20, 2, Le16(static_cast<std::uint16_t>(comment.size())));
    return entry + central + end + comment;
}

int CauseOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const CZipException& e) {
        return e.GetCause();
    }
    return 0;
}

class ZipReader : public TempDirTest
{
protected:
    // Opens `bytes` from memory with the smallest search buffer.
    void OpenBytes(const std::string& bytes)
    {
        m_memory.Write(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
        m_zip.SetBuffers(1024, 1024, 1024);
        m_zip.Open(m_memory, CZipContainer::ArcOpenReadOnly);
    }
    // Writes entries with the writer into memory and reopens them for reading.
    void WriteAndReopen(const std::vector<std::pair<std::string, std::string>>& entries,
                        const std::string& password = {}, int level = 6)
    {
        CZipContainer writer;
        ASSERT_TRUE(writer.Open(m_memory, CZipContainer::ArcCreate));
        writer.SetPassword(password);
        for (const auto& [name, data] : entries) {
            CZipEntryHeader header;
            header.m_fileName = name;
            ASSERT_TRUE(writer.OpenNewFile(header, level));
            writer.WriteNewFile(data.data(), static_cast<std::uint32_t>(data.size()));
            writer.CloseNewFile();
        }
        writer.Close();
        m_zip.Open(m_memory, CZipContainer::ArcOpenReadOnly);
    }
    std::string ReadAll(int index)
    {
        EXPECT_TRUE(m_zip.OpenFile(index));
        std::string out;
        char chunk[777];
        while (std::uint32_t got = m_zip.ReadFile(chunk, sizeof chunk))
            out.append(chunk, got);
        EXPECT_EQ(m_zip.CloseFile(), 1);
        return out;
    }

    CZipMemoryFile m_memory;
    CZipContainer m_zip;
};

} // namespace

TEST_F(ZipReader, LongestCommentIsFoundAndLongerTailIsNot)
{
    const std::string comment(65535, 'c');
    OpenBytes(OneEntryArchive("a", "data", comment));
    EXPECT_EQ(m_zip.GetDirectory().m_comment, comment);
    EXPECT_EQ(ReadAll(0), "data");
    m_zip.Close();

    CZipMemoryFile tail;
    const std::string bytes = OneEntryArchive("a", "data") + std::string(65536, 'c');
    tail.Write(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    CZipContainer other;
    EXPECT_EQ(CauseOf([&] { other.Open(tail, CZipContainer::ArcOpenReadOnly); }), 116);
    EXPECT_TRUE(other.IsClosed());
}

// With a 1,024-byte search buffer the first chunk ends 1,024 bytes before the end;
// these comment lengths put the signature on both sides of that line and across it.
class ZipReaderChunkEdge : public ZipReader, public ::testing::WithParamInterface<int>
{
};

TEST_P(ZipReaderChunkEdge, SignatureNearChunkBorderIsFound)
{
    const std::string comment(static_cast<std::size_t>(GetParam()), 'x');
    OpenBytes(OneEntryArchive("name", "payload", comment));
    ASSERT_EQ(m_zip.GetCount(), 1u);
    EXPECT_EQ(m_zip.GetDirectory().m_comment.size(), comment.size());
    EXPECT_EQ(ReadAll(0), "payload");
}

INSTANTIATE_TEST_SUITE_P(Borders, ZipReaderChunkEdge,
                         ::testing::Values(1000, 1001, 1002, 1003, 1004, 1005, 2000, 2003));

TEST_F(ZipReader, DescriptorWithoutSignatureIsRead)
{
    OpenBytes(OneEntryArchive("plain.txt", "no signature here", {}, false));
    EXPECT_EQ(ReadAll(0), "no signature here");
    EXPECT_TRUE(m_zip.TestFile(0));
}

TEST_F(ZipReader, WrittenEntriesReadBackAndTest)
{
    const std::string big = Pattern(200000) + std::string(100000, 'z');
    WriteAndReopen({{"dir\\", ""}, {"dir\\big.bin", big}, {"empty", ""}, {"small", "abc"}});
    ASSERT_EQ(m_zip.GetCount(), 4u);
    EXPECT_EQ(ReadAll(1), big);
    EXPECT_EQ(ReadAll(3), "abc");
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(m_zip.TestFile(i, 4096)) << i;
}

// Entries that fit a buffer are inflated in one call, larger ones as a stream; both
// read back the same, and damage in the data of either fails the test.
TEST_F(ZipReader, WholeAndStreamedEntriesReadAndFailAlike)
{
    const std::string small = Pattern(300000, 2);
    const std::string large = Pattern(CZipWholeInflate::MaxSize + 1000, 3);
    WriteAndReopen({{"small", small}, {"large", large}});
    EXPECT_EQ(ReadAll(0), small);
    EXPECT_EQ(ReadAll(1), large);
    const std::string bytes(m_memory.GetData(), m_memory.GetLength());
    for (int index : {0, 1}) {
        CZipEntryHeader header;
        ASSERT_TRUE(m_zip.GetFileInfo(header, index));
        const std::size_t local = header.m_offset;
        const std::size_t data = local + 30 + ZipBytes::Get16(bytes.data() + local + 26) +
                                 ZipBytes::Get16(bytes.data() + local + 28);
        std::string damaged = bytes;
        damaged[data + header.m_compressedSize / 2] ^= 0x5A;
        CZipMemoryFile memory;
        memory.Write(damaged.data(), static_cast<std::uint32_t>(damaged.size()));
        CZipContainer zip;
        zip.Open(memory, CZipContainer::ArcOpenReadOnly);
        EXPECT_NE(CauseOf([&] { EXPECT_FALSE(zip.TestFile(index)); }), 0) << index;
        EXPECT_EQ(zip.GetEntryState(), 0) << index;
        EXPECT_TRUE(zip.TestFile(1 - index)) << index;
    }
}

TEST_F(ZipReader, PartialReadThenCloseGivesMinusOne)
{
    WriteAndReopen({{"f", Pattern(50000)}});
    ASSERT_TRUE(m_zip.OpenFile(0));
    char chunk[100];
    EXPECT_EQ(m_zip.ReadFile(chunk, sizeof chunk), 100u);
    EXPECT_FALSE(m_zip.OpenFile(0)); // one entry at a time
    EXPECT_EQ(m_zip.CloseFile(), -1);
    EXPECT_EQ(m_zip.GetEntryState(), 0);
    EXPECT_EQ(m_zip.CloseFile(), 0);
}

// Closing the archive under a half-read entry: the next entry read, after opening
// it again, gives its own data and not what the first one left inflated.
TEST_F(ZipReader, ArchiveClosedMidEntryLeavesNothingBehind)
{
    const std::string second = Pattern(50000, 5);
    WriteAndReopen({{"first", Pattern(50000, 4)}, {"second", second}});
    ASSERT_TRUE(m_zip.OpenFile(0));
    char chunk[100];
    ASSERT_EQ(m_zip.ReadFile(chunk, sizeof chunk), 100u);
    m_zip.Close();
    ASSERT_TRUE(m_zip.Open(m_memory, CZipContainer::ArcOpenReadOnly));
    EXPECT_TRUE(ReadAll(1) == second); // no dump of 50,000 bytes when it fails
}

TEST_F(ZipReader, DamageIsReported)
{
    struct Case
    {
        const char* what;
        std::size_t offset; // byte of the one-entry archive to change
        int cause;
    };
    // Entry "f" with data "hello": local header 0-29, name 30, data 31-35.
    const Case cases[] = {
        {"local signature", 0, 101},
        {"local method", 8, 101},
        {"local name length", 26, 101},
        {"data byte", 33, 102},
    };
    for (const Case& c : cases) {
        std::string bytes = OneEntryArchive("f", "hello");
        bytes[c.offset] = static_cast<char>(bytes[c.offset] ^ 0x41);
        CZipMemoryFile memory;
        memory.Write(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
        CZipContainer zip;
        zip.Open(memory, CZipContainer::ArcOpenReadOnly);
        EXPECT_EQ(CauseOf([&] { zip.TestFile(0); }), c.cause) << c.what;
        EXPECT_EQ(zip.GetEntryState(), 0) << c.what;
    }
}

TEST_F(ZipReader, DescriptorThatDisagreesIsDamage)
{
    std::string bytes = OneEntryArchive("f", "hello");
    bytes[36 + 8] ^= 1; // compressed size in the descriptor
    OpenBytes(bytes);
    EXPECT_EQ(CauseOf([&] { m_zip.TestFile(0); }), 101);
}

TEST_F(ZipReader, SizesBeyondTheDirectoryAreDamage)
{
    std::string bytes = OneEntryArchive("f", "hello");
    const std::size_t central = 36 + 16;
    bytes.replace(central + 20, 8, Le32(0x7FFFFFFF) + Le32(0x7FFFFFFF));
    OpenBytes(bytes);
    EXPECT_EQ(CauseOf([&] { m_zip.OpenFile(0); }), 101);
    EXPECT_EQ(m_zip.GetEntryState(), 0);
}

TEST_F(ZipReader, DirectoryWithDataFailsTheTest)
{
    std::string bytes = OneEntryArchive("d/", "xyz");
    bytes.replace(35 + 16 + 38, 4, Le32(0x41ED0010)); // name "d/" is 2 bytes long
    OpenBytes(bytes);
    ASSERT_TRUE(m_zip.GetDirectory()[0].IsDirectory());
    EXPECT_EQ(CauseOf([&] { m_zip.TestFile(0); }), 111);
}

TEST_F(ZipReader, PasswordIsCheckedAtOpen)
{
    const std::string data = Pattern(3000);
    WriteAndReopen({{"secret", data}}, "right", 0);
    EXPECT_EQ(CauseOf([&] { m_zip.OpenFile(0); }), 110); // none set
    EXPECT_EQ(m_zip.GetEntryState(), 0);
    // The header is random, so one wrong password in 256 passes the check byte (the
    // CRC catches it, see below): of three, at least one must be refused here.
    int refused = 0;
    for (const char* wrong : {"wrong", "Right", "right!"}) {
        ASSERT_TRUE(m_zip.SetPassword(wrong));
        const int cause = CauseOf([&] { m_zip.OpenFile(0); });
        refused += cause == 110;
        if (cause == 0)
            m_zip.CloseFile({}, true);
    }
    EXPECT_GE(refused, 1);
    ASSERT_TRUE(m_zip.SetPassword("right"));
    EXPECT_EQ(ReadAll(0), data);
}

TEST_F(ZipReader, WrongPasswordPassingTheCheckByteFailsTheCrc)
{
    WriteAndReopen({{"secret", Pattern(3000)}}, "right", 0);
    int passed = 0;
    for (int i = 0; i < 5000 && passed == 0; ++i) {
        ASSERT_TRUE(m_zip.SetPassword("guess" + std::to_string(i)));
        try {
            passed = m_zip.OpenFile(0) ? 1 : 0;
        } catch (const CZipException& e) {
            ASSERT_EQ(e.GetCause(), 110);
        }
    }
    ASSERT_EQ(passed, 1); // about one guess in 256 gets through
    m_zip.CloseFile({}, true);
    EXPECT_EQ(CauseOf([&] { m_zip.TestFile(0); }), 102);
}

TEST_F(ZipReader, FindFileModes)
{
    WriteAndReopen({{"Docs\\Read.me", "1"}, {"b", "2"}, {"docs\\read.me", "3"}, {"a", "4"}});
    EXPECT_EQ(m_zip.FindFile("Docs\\Read.me"), 0);
    EXPECT_EQ(m_zip.FindFile("docs/read.me"), 2);
    EXPECT_EQ(m_zip.FindFile("DOCS\\READ.ME"), -1);
    EXPECT_EQ(m_zip.FindFile("DOCS\\READ.ME", 2), 0);
    EXPECT_EQ(m_zip.FindFile("docs\\read.me", 1), 2);
    EXPECT_EQ(m_zip.FindFile("Read.me", 0, true), 0);
    EXPECT_EQ(m_zip.FindFile("x\\read.me", 0, true), 2);
    EXPECT_EQ(m_zip.FindFile("READ.ME", 2, true), 0);
    EXPECT_EQ(m_zip.FindFile("missing"), -1);

    std::vector<int> indexes;
    EXPECT_EQ(m_zip.GetIndexes({"a", "nope", "b"}, indexes), 2u);
    EXPECT_EQ(indexes, (std::vector<int>{3, 1}));
    CZipEntryHeader info;
    EXPECT_TRUE(m_zip.GetFileInfo(info, 1));
    EXPECT_EQ(info.m_fileName, "b");
    EXPECT_FALSE(m_zip.GetFileInfo(info, 4));
    EXPECT_FALSE(m_zip.GetFileInfo(info, -1));
}

TEST_F(ZipReader, LookupFollowsDeletionsAndAdditions)
{
    CZipContainer writer;
    ASSERT_TRUE(writer.Open(m_dir / "l.zip", CZipContainer::ArcCreate));
    for (const char* name : {"c", "a", "d", "b"}) {
        CZipEntryHeader header;
        header.m_fileName = name;
        ASSERT_TRUE(writer.OpenNewFile(header, 6));
        writer.WriteNewFile(name, 1);
        writer.CloseNewFile();
        EXPECT_EQ(writer.FindFile(name), static_cast<int>(writer.GetCount()) - 1);
    }
    writer.DeleteFiles({1});
    EXPECT_EQ(writer.FindFile("a"), -1);
    EXPECT_EQ(writer.FindFile("c"), 0);
    EXPECT_EQ(writer.FindFile("d"), 1);
    EXPECT_EQ(writer.FindFile("b"), 2);
    writer.Close();
    CZipContainer reader;
    reader.Open(m_dir / "l.zip", CZipContainer::ArcOpenReadOnly);
    EXPECT_EQ(reader.FindFile("b"), 2);
    EXPECT_TRUE(reader.TestFile(2));
}
