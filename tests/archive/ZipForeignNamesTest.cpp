// Archives made on systems with a legacy code page: names and comments stored in
// that page beside Info-ZIP's UTF-8 copies, and NTFS times. The archives are built
// byte by byte; our reader and the peer tools must agree on every extracted name.
#include "TempDir.h"
#include "TestZip.h"
#include "ZipContainer.h"
#include "ZipExtraField.h"
#include "ZipWriterTestUtil.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <ostream>
#include <utility>

using namespace tbmtest;
namespace fs = std::filesystem;

namespace {

std::string Block(std::uint16_t tag, const std::string& data)
{
    return Le16(tag) + Le16(static_cast<std::uint16_t>(data.size())) + data;
}

// A Unicode Path or Comment block whose CRC is that of `crcOf`.
std::string UnicodeBlock(std::uint16_t tag, const std::string& utf8, const std::string& crcOf,
                         char version = 1)
{
    return Block(tag, std::string(1, version) + Le32(Crc(crcOf)) + utf8);
}

std::string Le64(std::uint64_t value)
{
    return Le32(static_cast<std::uint32_t>(value)) + Le32(static_cast<std::uint32_t>(value >> 32));
}

// NTFS times with one attribute (`tag`, its data), after the reserved u32.
std::string NtfsBlock(const std::string& attributeData, std::uint16_t tag = 1)
{
    return Block(ZipExtraField::NtfsTimes,
                 Le32(0) + Le16(tag) + Le16(static_cast<std::uint16_t>(attributeData.size())) +
                     attributeData);
}

std::string NtfsTimes(std::uint64_t modified)
{
    return Le64(modified) + Le64(modified - 1) + Le64(modified - 2);
}

constexpr std::time_t NtfsModified = 1614834367; // 2021-03-04 05:06:07 UTC
constexpr std::uint64_t NtfsTicks = (NtfsModified + 11644473600ull) * 10000000 + 8900000;

const std::string GbkName = "\xC4\xE3\xBA\xC3.txt";   // 你好.txt in code page 936
const std::string GbkComment = "\xB1\xB8\xD7\xA2";    // 备注
const std::string Cp437Folder = "Ma\xA4\x61na-docs/"; // no em dash in code page 437
const std::string Cp437File = Cp437Folder + "r\x82sum\x82-v2.txt";

struct ForeignEntry
{
    ForeignEntry(std::string s, std::string e, std::string d, std::uint32_t a = 0x20,
                 std::string c = {})
        : stored(std::move(s)), extra(std::move(e)), data(std::move(d)), attributes(a),
          comment(std::move(c))
    {
    }
    std::string stored;
    std::string extra;
    std::string data;
    std::uint32_t attributes; // MS-DOS archive bit 0x20; 0x10 marks a folder
    std::string comment;
};

// Stored entries made on MS-DOS with a DOS time of 1999-01-01, far from any exact
// time, and the same extra field in the local header and the central record.
std::string ForeignArchive(const std::vector<ForeignEntry>& entries)
{
    const std::string dosTime = Le16(0) + Le16((19 << 9) | (1 << 5) | 1);
    std::string local;
    std::string central;
    for (const ForeignEntry& e : entries) {
        const std::string sizes = Le32(Crc(e.data)) +
                                  Le32(static_cast<std::uint32_t>(e.data.size())) +
                                  Le32(static_cast<std::uint32_t>(e.data.size()));
        const std::string lengths = Le16(static_cast<std::uint16_t>(e.stored.size())) +
                                    Le16(static_cast<std::uint16_t>(e.extra.size()));
        central += Le32(0x02014B50) + Le16(20) + Le16(20) + Le16(0) + Le16(0) + dosTime + sizes +
                   lengths + Le16(static_cast<std::uint16_t>(e.comment.size())) + Le16(0) +
                   Le16(0) + Le32(e.attributes) + Le32(static_cast<std::uint32_t>(local.size())) +
                   e.stored + e.extra + e.comment;
        local += Le32(0x04034B50) + Le16(20) + Le16(0) + Le16(0) + dosTime + sizes + lengths +
                 e.stored + e.extra + e.data;
    }
    const auto count = static_cast<std::uint16_t>(entries.size());
    return local + central +
           EndRecord(0, 0, count, count, static_cast<std::uint32_t>(central.size()),
                     static_cast<std::uint32_t>(local.size()));
}

std::vector<ForeignEntry> ForeignEntries()
{
    return {
        {GbkName,
         UnicodeBlock(ZipExtraField::UnicodePath, "你好.txt", GbkName) +
             UnicodeBlock(ZipExtraField::UnicodeComment, "备注", GbkComment),
         "hello\n", 0x20, GbkComment},
        {Cp437Folder, UnicodeBlock(ZipExtraField::UnicodePath, "Mañana—docs/", Cp437Folder), "",
         0x10},
        {Cp437File,
         UnicodeBlock(ZipExtraField::UnicodePath, "Mañana—docs/résumé—v2.txt", Cp437File), "cv\n"},
        // A tool renamed the entry and left a stale copy behind.
        {"fallback.txt", UnicodeBlock(ZipExtraField::UnicodePath, "wrong名.txt", "other.txt"),
         "fb\n"},
        {"ntfs-time.txt", NtfsBlock(NtfsTimes(NtfsTicks)), "nt\n"},
    };
}

// Every path below `folder` with the file's bytes ("/" for a folder).
std::map<std::string, std::string> Tree(const fs::path& folder)
{
    std::map<std::string, std::string> tree;
    for (const auto& item : fs::recursive_directory_iterator(folder)) {
        const std::string name = fs::relative(item.path(), folder).generic_string();
        tree[name] = item.is_directory() ? "/" : ReadFileBytes(item.path().string());
    }
    return tree;
}

std::time_t ModificationTime(const std::string& path)
{
    struct stat info
    {
    };
    return ::stat(path.c_str(), &info) == 0 ? info.st_mtime : -1;
}

class ZipForeignArchive : public TempDirTest
{
protected:
    void SetUp() override { WriteFileBytes(Archive(), ForeignArchive(ForeignEntries())); }
    std::string Archive() const { return m_dir / "foreign.zip"; }

    static void ExtractAll(const std::string& archive, const std::string& folder)
    {
        CZipContainer zip;
        ASSERT_TRUE(zip.Open(archive, CZipContainer::ArcOpenReadOnly));
        for (int i = 0; i < static_cast<int>(zip.GetCount()); ++i)
            EXPECT_TRUE(zip.ExtractFile(i, folder)) << zip.GetDirectory()[i].m_fileName;
        zip.Close();
    }
};

const std::map<std::string, std::string> ExpectedTree = {
    {"你好.txt", "hello\n"},  {"Mañana—docs", "/"},      {"Mañana—docs/résumé—v2.txt", "cv\n"},
    {"fallback.txt", "fb\n"}, {"ntfs-time.txt", "nt\n"},
};

} // namespace

TEST(ZipUnicodeField, CopyCountsOnlyWhenVersionCrcAndTextAreSound)
{
    const std::string stored = "\xC4\xE3.txt";
    const auto path = [&](const std::string& utf8, char version = 1) {
        return UnicodeBlock(ZipExtraField::UnicodePath, utf8, stored, version);
    };
    struct Case
    {
        const char* label;
        std::string extra;
    };
    const Case refused[] = {
        {"version 2", path("ok.txt", 2)},
        {"CRC of other bytes", UnicodeBlock(ZipExtraField::UnicodePath, "ok.txt", "\xC4\xE4.txt")},
        {"empty text", path("")},
        {"no CRC", Block(ZipExtraField::UnicodePath, std::string("\x01\x00\x00", 3))},
        {"invalid UTF-8", path("caf\xE9.txt")},
        {"overlong slash", path("a\xC0\xAF.txt")},
        {"surrogate", path("\xED\xA0\x80.txt")},
        {"NUL inside", path(std::string("a\0b.txt", 7))},
        {"block past the field", path("ok.txt").substr(0, 9)},
        {"comment tag only", UnicodeBlock(ZipExtraField::UnicodeComment, "ok.txt", stored)},
    };
    for (const Case& c : refused) {
        std::string text = "untouched";
        EXPECT_FALSE(
            ZipExtraField::GetUnicodeText(c.extra, ZipExtraField::UnicodePath, stored, text))
            << c.label;
        EXPECT_EQ(text, "untouched") << c.label;
    }
    // Behind other blocks, with a NUL-free 4-byte character.
    std::string text;
    ASSERT_TRUE(ZipExtraField::GetUnicodeText(NtfsBlock(NtfsTimes(NtfsTicks)) +
                                                  path("你\xF0\x9F\x98\x80.txt"),
                                              ZipExtraField::UnicodePath, stored, text));
    EXPECT_EQ(text, "你\xF0\x9F\x98\x80.txt");
}

TEST(ZipNtfsTimes, ExtendedTimestampFirstThenNtfsWithinTheCalendar)
{
    constexpr std::uint64_t TicksPerSecond = 10000000;
    constexpr std::uint64_t To1970 = 11644473600ull * TicksPerSecond;
    std::time_t read = 0;
    ASSERT_TRUE(ZipExtraField::GetModificationTime(NtfsBlock(NtfsTimes(NtfsTicks)), read));
    EXPECT_EQ(read, NtfsModified);
    // Before 1970 and the last second of year 9999.
    ASSERT_TRUE(ZipExtraField::GetNtfsModificationTime(NtfsBlock(NtfsTimes(TicksPerSecond)), read));
    EXPECT_EQ(read, 1 - 11644473600);
    const std::uint64_t last = To1970 + 253402300799ull * TicksPerSecond + TicksPerSecond - 1;
    ASSERT_TRUE(ZipExtraField::GetNtfsModificationTime(NtfsBlock(NtfsTimes(last)), read));
    EXPECT_EQ(read, 253402300799);

    std::string extended;
    ZipExtraField::SetModificationTime(extended, 1000000000);
    ASSERT_TRUE(
        ZipExtraField::GetModificationTime(NtfsBlock(NtfsTimes(NtfsTicks)) + extended, read));
    EXPECT_EQ(read, 1000000000);
    // An extended timestamp without the modification time leaves it to NTFS.
    ASSERT_TRUE(ZipExtraField::GetModificationTime(
        Block(ZipExtraField::ExtendedTimestamp, "\x02\x01\x02\x03\x04") +
            NtfsBlock(NtfsTimes(NtfsTicks)),
        read));
    EXPECT_EQ(read, NtfsModified);

    const std::string refused[] = {
        NtfsBlock(NtfsTimes(0).substr(0, 8) + NtfsTimes(NtfsTicks).substr(8)), // unknown time
        NtfsBlock(NtfsTimes(last + 1)),
        NtfsBlock(NtfsTimes(~0ull)),
        NtfsBlock(NtfsTimes(NtfsTicks), 2),            // another attribute
        NtfsBlock(NtfsTimes(NtfsTicks).substr(0, 16)), // too short for three times
        NtfsBlock(NtfsTimes(NtfsTicks) + "x"),         // not the size of three times
        Block(ZipExtraField::NtfsTimes, Le32(0) + Le16(1) + Le16(24) + Le64(NtfsTicks)),
        Block(ZipExtraField::NtfsTimes, Le16(0)), // cut in the reserved word
    };
    for (const std::string& extra : refused) {
        read = 7;
        EXPECT_FALSE(ZipExtraField::GetModificationTime(extra, read))
            << ::testing::PrintToString(extra);
        EXPECT_EQ(read, 7);
    }
}

TEST_F(ZipForeignArchive, ReadsUnicodeNamesCommentAndNtfsTime)
{
    ExtractAll(Archive(), m_dir / "out");
    EXPECT_EQ(Tree(m_dir / "out"), ExpectedTree);
    EXPECT_EQ(ModificationTime(m_dir / "out/ntfs-time.txt"), NtfsModified);

    CZipContainer zip;
    ASSERT_TRUE(zip.Open(Archive(), CZipContainer::ArcOpenReadOnly));
    const int hello = zip.FindFile("你好.txt");
    ASSERT_GE(hello, 0);
    EXPECT_EQ(zip.GetDirectory()[hello].GetComment(), "备注");
    EXPECT_EQ(zip.GetDirectory()[hello].m_comment, GbkComment); // kept as stored
    const int folder = zip.FindFile("Mañana—docs\\");
    ASSERT_GE(folder, 0);
    EXPECT_TRUE(zip.GetDirectory()[folder].IsDirectory());
    zip.Close();
}

// Adding rewrites the central directory: the names read from Unicode copies must be
// stored as the same bytes, or the local headers and the copies' CRCs no longer agree.
TEST_F(ZipForeignArchive, AddingToItKeepsTheStoredNames)
{
    WriteFileBytes(m_dir / "added.txt", "new\n");
    {
        CZipContainer zip;
        ASSERT_TRUE(zip.Open(Archive(), CZipContainer::ArcOpen));
        CZipAddInfo info;
        info.m_path = m_dir / "added.txt";
        ASSERT_TRUE(zip.AddNewFile(info));
        zip.Close();
    }
    const std::string bytes = ReadFileBytes(Archive());
    std::size_t copies = 0;
    for (std::size_t at = bytes.find(GbkName); at != std::string::npos;
         at = bytes.find(GbkName, at + 1))
        ++copies;
    EXPECT_EQ(copies, 2u); // local header and central record
    ExtractAll(Archive(), m_dir / "out");
    auto expected = ExpectedTree;
    expected["added.txt"] = "new\n";
    EXPECT_EQ(Tree(m_dir / "out"), expected);
    if (UnzipAvailable()) {
        EXPECT_TRUE(UnzipTests(Archive()));
    }
}

// The Unicode copy is as untrusted as the stored name: extraction cuts it the same.
TEST_F(ZipForeignArchive, HostileUnicodePathsStayInsideTheFolder)
{
    const std::string outside = m_dir / "escaped.txt";
    const std::vector<std::pair<std::string, std::string>> hostile = {
        {"one.txt", "../evil.txt"},
        {"two.txt", outside},
        {"three.txt", "a/../../../deeper.txt"},
        {"four.txt", "..\\..\\back.txt"},
    };
    std::vector<ForeignEntry> entries;
    for (const auto& [stored, unicode] : hostile)
        entries.emplace_back(stored, UnicodeBlock(ZipExtraField::UnicodePath, unicode, stored),
                             "x");
    WriteFileBytes(Archive(), ForeignArchive(entries));
    ExtractAll(Archive(), m_dir / "in");

    for (const std::string name : {"evil.txt", "a/deeper.txt", "back.txt"})
        EXPECT_EQ(ReadFileBytes(m_dir / ("in/" + name)), "x") << name;
    EXPECT_EQ(ReadFileBytes(m_dir / "in" + outside), "x");
    for (const auto& [name, bytes] : Tree(m_dir.Path()))
        EXPECT_TRUE(name == "foreign.zip" || name.rfind("in", 0) == 0) << name;
}

namespace {

struct ForeignPeer
{
    const char* label;
    const char* program;
    // Run in the folder that holds foreign.zip; extracts into "peer".
    const char* command;
    bool setsNtfsTime;
};

void PrintTo(const ForeignPeer& peer, std::ostream* out)
{
    *out << peer.label;
}

class ZipForeignPeer : public ZipForeignArchive, public ::testing::WithParamInterface<ForeignPeer>
{
};

} // namespace

TEST_P(ZipForeignPeer, ExtractsTheSameNamesAsWeDo)
{
    const ForeignPeer& peer = GetParam();
    if (!HaveProgram(peer.program))
        GTEST_SKIP() << peer.program << " is not installed";
    std::string output;
    ASSERT_EQ(RunCommand("cd '" + m_dir.Str() + "' && LC_ALL=C.UTF-8 " + peer.command, &output), 0)
        << output;
    ExtractAll(Archive(), m_dir / "ours");
    EXPECT_EQ(Tree(m_dir / "peer"), Tree(m_dir / "ours"));
    if (peer.setsNtfsTime) {
        EXPECT_EQ(ModificationTime(m_dir / "peer/ntfs-time.txt"),
                  ModificationTime(m_dir / "ours/ntfs-time.txt"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Peers, ZipForeignPeer,
    ::testing::Values(ForeignPeer{"SevenZip", "7zz", "7zz x -y -opeer foreign.zip", true},
                      // unzip takes the DOS time, not the NTFS one.
                      ForeignPeer{"Unzip", "unzip", "unzip -q foreign.zip -d peer", false}),
    [](const auto& info) { return std::string(info.param.label); });
