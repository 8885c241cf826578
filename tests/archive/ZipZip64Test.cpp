// Archives past the 32-bit limits: more than 65,535 entries, entries and offsets
// past 4 GiB, zip64 local headers and descriptors, and zip64 archives that other
// tools wrote.
#include "TempDir.h"
#include "ZipContainer.h"
#include "ZipFile.h"
#include "ZipForwardingStream.h"
#include "ZipWriterTestUtil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

using namespace tbmtest;
namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t Zip64EndSignature = 0x06064B50;
constexpr std::uint32_t Zip64LocatorSignature = 0x07064B50;

// A disk file that leaves runs of zero bytes as holes: archives of several GiB
// cost neither the disk space nor the time of writing them.
class CHoleWritingFile : public CZipForwardingStream
{
public:
    explicit CHoleWritingFile(const std::string& path)
        : CZipForwardingStream(std::make_unique<CZipFile>(
              path, CZipStream::OpenCreate | CZipStream::OpenReadWrite))
    {
    }

    void Write(const void* buffer, std::uint32_t count) override
    {
        const auto* bytes = static_cast<const char*>(buffer);
        if (count == 0 || bytes[0] != 0 || std::memcmp(bytes, bytes + 1, count - 1) != 0) {
            CZipForwardingStream::Write(buffer, count);
            return;
        }
        const std::uint64_t end = GetPosition() + count;
        if (end > GetLength())
            SetLength(end);
        Seek(static_cast<std::int64_t>(end), FromBegin);
    }
};

CZipEntryHeader Named(const std::string& name)
{
    CZipEntryHeader header;
    header.m_fileName = name;
    header.SetTime(1700000000);
    header.m_externalAttr = 0100644u << 16;
    return header;
}

void AddBytes(CZipContainer& zip, const std::string& name, const std::string& data, int level,
              std::uint64_t sizeHint = 0)
{
    ASSERT_TRUE(zip.OpenNewFile(Named(name), level, {}, sizeHint ? sizeHint : data.size()));
    zip.WriteNewFile(data.data(), static_cast<std::uint32_t>(data.size()));
    zip.CloseNewFile();
}

// `count` zero bytes in 1 MiB pieces.
void AddZeros(CZipContainer& zip, const std::string& name, std::uint64_t count, int level)
{
    ASSERT_TRUE(zip.OpenNewFile(Named(name), level, {}, count));
    const std::string piece(1 << 20, '\0');
    for (std::uint64_t done = 0; done < count;) {
        const auto part = static_cast<std::uint32_t>(std::min<std::uint64_t>(piece.size(), count - done));
        zip.WriteNewFile(piece.data(), part);
        done += part;
    }
    zip.CloseNewFile();
}

// Every peer that is installed tests the archive; `entries` is the count each must
// list.
void ExpectPeersAccept(const std::string& archive, std::size_t entries,
                       const std::string& password = {})
{
    std::string out;
    if (HaveProgram("unzip")) {
        const std::string p = password.empty() ? "" : " -P " + password;
        EXPECT_EQ(RunCommand("unzip -tq" + p + " " + Quote(archive), &out), 0) << out;
    }
    if (HaveProgram("7zz")) {
        out.clear();
        EXPECT_EQ(RunCommand("7zz t -p" + (password.empty() ? "none" : password) + " " +
                                 Quote(archive),
                             &out),
                  0)
            << out;
    }
    if (HaveProgram("bsdtar")) {
        out.clear();
        EXPECT_EQ(RunCommand("bsdtar -tf " + Quote(archive) + " | wc -l", &out), 0) << out;
        EXPECT_EQ(std::stoul(out), entries);
    }
    if (HaveProgram("python3")) {
        out.clear();
        const std::string script =
            "import zipfile,sys\nz=zipfile.ZipFile(sys.argv[1])\n"
            "z.setpassword(sys.argv[2].encode() or None)\n"
            "assert z.testzip() is None\nprint(len(z.infolist()))\n";
        EXPECT_EQ(RunCommand("python3 -c '" + script + "' " + Quote(archive) + " '" + password + "'",
                             &out),
                  0)
            << out;
        EXPECT_EQ(std::stoul(out), entries) << out;
    }
}

// Our reader: every entry tests sound; returns the count.
std::size_t TestEveryEntry(const std::string& archive, const std::string& password = {})
{
    CZipContainer zip;
    EXPECT_TRUE(zip.Open(archive, CZipContainer::ArcOpenReadOnly));
    zip.SetPassword(password);
    for (std::size_t i = 0; i < zip.GetCount(); ++i)
        EXPECT_TRUE(zip.TestFile(static_cast<int>(i), 1 << 20)) << i;
    const std::size_t count = zip.GetCount();
    zip.Close();
    return count;
}

std::string Tail(const std::string& path, std::size_t size)
{
    CZipFile file(path, CZipStream::OpenRead);
    const std::uint64_t length = file.GetLength();
    file.Seek(static_cast<std::int64_t>(length - size), CZipStream::FromBegin);
    std::string bytes(size, '\0');
    file.Read(bytes.data(), static_cast<std::uint32_t>(size));
    return bytes;
}

class ZipZip64 : public TempDirTest
{
};

} // namespace

TEST_F(ZipZip64, MoreThan65534EntriesGetTheZip64End)
{
    constexpr std::size_t Count = 70000;
    const std::string path = m_dir / "many.zip";
    CZipContainer zip;
    ASSERT_TRUE(zip.Open(path, CZipContainer::ArcCreate));
    char name[32];
    for (std::size_t i = 0; i < Count; ++i) {
        std::snprintf(name, sizeof name, "d%02zu/f%05zu.txt", i / 1000, i);
        AddBytes(zip, name, i % 997 == 0 ? std::string(name) : std::string(), 6);
    }
    zip.Close();

    // End record with escaped counts, after the zip64 end record and its locator.
    const std::string end = Tail(path, 22 + 20 + 56);
    EXPECT_EQ(At32(end, 0), Zip64EndSignature);
    EXPECT_EQ(At32(end, 56), Zip64LocatorSignature);
    EXPECT_EQ(At16(end, 76 + 8), 0xFFFF);
    EXPECT_EQ(At16(end, 76 + 10), 0xFFFF);

    CZipContainer back;
    ASSERT_TRUE(back.Open(path, CZipContainer::ArcOpenReadOnly));
    ASSERT_EQ(back.GetCount(), Count);
    // Names past index 65,535 are found at their own index.
    const int last = back.FindFile("d69\\f69999.txt");
    ASSERT_EQ(last, 69999);
    CZipEntryHeader found;
    ASSERT_TRUE(back.GetFileInfo(found, last));
    EXPECT_EQ(found.m_fileName, "d69\\f69999.txt");
    EXPECT_TRUE(back.TestFile(last));
    back.Close();
    ExpectPeersAccept(path, Count);
}

// A size announced at the threshold gives the local header zip64 sizes; an
// encrypted entry's descriptor then carries 64-bit sizes. Cheap: the data itself
// stays small.
TEST_F(ZipZip64, AnnouncedLargeEntriesUseZip64LocalHeadersAndDescriptors)
{
    const std::string path = m_dir / "local64.zip";
    const std::string text = "zip64 sizes in the local header\n";
    {
        CZipContainer zip;
        ASSERT_TRUE(zip.Open(path, CZipContainer::ArcCreate));
        AddBytes(zip, "stored.txt", text, 0, CZipEntryHeader::Zip64LocalThreshold);
        AddBytes(zip, "deflated.txt", text + text, 9, CZipEntryHeader::Zip64LocalThreshold);
        ASSERT_TRUE(zip.SetPassword("secret"));
        AddBytes(zip, "encrypted.txt", text, 6, CZipEntryHeader::Zip64LocalThreshold);
        zip.Close();
    }
    const std::string bytes = ReadFileBytes(path);
    const std::vector<std::size_t> locals = FindSignatures(bytes, CZipEntryHeader::LocalSignature);
    ASSERT_EQ(locals.size(), 3u);
    for (std::size_t at : locals) {
        EXPECT_EQ(At16(bytes, at + 4), CZipEntryHeader::VersionZip64);
        EXPECT_EQ(At32(bytes, at + 18), 0xFFFFFFFFu);
        EXPECT_EQ(At16(bytes, at + 30 + At16(bytes, at + 26)), CZipEntryHeader::Zip64Tag);
    }
    // The central records need nothing: their sizes fit.
    EXPECT_TRUE(FindSignatures(bytes, Zip64EndSignature).empty());

    EXPECT_EQ(TestEveryEntry(path, "secret"), 3u);
    ExpectPeersAccept(path, 3, "secret");
    if (HaveProgram("unzip")) {
        std::string out;
        EXPECT_EQ(RunCommand("unzip -p -P secret " + Quote(path) + " encrypted.txt", &out), 0);
        EXPECT_EQ(out, text);
    }
}

// Writes 4.3 GiB (as holes) so an entry's sizes, the next entry's offset and the
// directory's position all pass 4 GiB.
TEST_F(ZipZip64, EntriesAndDirectoryPastFourGiB)
{
    constexpr std::uint64_t Big = (std::uint64_t{43} << 30) / 10;
    const std::string path = m_dir / "big.zip";
    const std::string text(5000, 'x');
    {
        CHoleWritingFile file(path);
        CZipContainer zip;
        ASSERT_TRUE(zip.Open(file, CZipContainer::ArcCreate));
        AddBytes(zip, "before.txt", text, 6);
        AddZeros(zip, "big.bin", Big, 0);
        AddBytes(zip, "after.txt", text, 6);
        zip.Close();
    }
    const std::string end = Tail(path, 22 + 20 + 56);
    EXPECT_EQ(At32(end, 0), Zip64EndSignature);
    EXPECT_EQ(At32(end, 76 + 16), 0xFFFFFFFFu); // directory offset escaped

    CZipContainer zip;
    ASSERT_TRUE(zip.Open(path, CZipContainer::ArcOpenReadOnly));
    ASSERT_EQ(zip.GetCount(), 3u);
    CZipEntryHeader big;
    CZipEntryHeader after;
    ASSERT_TRUE(zip.GetFileInfo(big, 1));
    ASSERT_TRUE(zip.GetFileInfo(after, 2));
    EXPECT_EQ(big.m_uncompressedSize, Big);
    EXPECT_EQ(big.m_compressedSize, Big);
    EXPECT_GT(after.m_offset, Big);
    ASSERT_TRUE(zip.ExtractFile(2, m_dir / "out"));
    EXPECT_EQ(ReadFileBytes(m_dir / "out/after.txt"), text);
    EXPECT_TRUE(zip.TestFile(1, 1 << 20));
    zip.Close();
    ExpectPeersAccept(path, 3);
}

// Zip64 archives from other tools: Python streaming with forced zip64 (data
// descriptors with 64-bit sizes) and Info-ZIP zip forced to zip64. 7-Zip's, which
// needs a tree past the limits, is read in bench/tbm_zip64.sh.
TEST_F(ZipZip64, ReadsZip64ArchivesOfPeers)
{
    if (HaveProgram("python3")) {
        const std::string path = m_dir / "python.zip";
        const std::string script =
            "import zipfile,sys\n"
            "with zipfile.ZipFile(sys.stdout.buffer, 'w', zipfile.ZIP_DEFLATED) as z:\n"
            "  for n in ('a.txt', 'sub/b.txt'):\n"
            "    with z.open(n, 'w', force_zip64=True) as f: f.write((n * 4000).encode())\n";
        std::string out;
        ASSERT_EQ(RunCommand("python3 -c \"" + script + "\" > " + Quote(path), &out), 0) << out;
        EXPECT_EQ(TestEveryEntry(path), 2u);
        CZipContainer zip;
        ASSERT_TRUE(zip.Open(path, CZipContainer::ArcOpenReadOnly));
        ASSERT_TRUE(zip.ExtractFile(1, m_dir / "py"));
        std::string expected;
        for (int i = 0; i < 4000; ++i)
            expected += "sub/b.txt";
        EXPECT_EQ(ReadFileBytes(m_dir / "py/sub/b.txt"), expected);
    }
    if (HaveProgram("zip")) {
        const std::string src = m_dir / "src";
        fs::create_directories(src);
        WriteFileBytes(src + "/one.txt", std::string(100000, 'o'));
        const std::string path = m_dir / "infozip.zip";
        std::string out;
        ASSERT_EQ(RunCommand("cd " + Quote(src) + " && zip -q -fz " + Quote(path) + " one.txt",
                             &out),
                  0)
            << out;
        EXPECT_EQ(TestEveryEntry(path), 1u);
    }
}
