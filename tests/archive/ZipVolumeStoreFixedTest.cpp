#include "ZipPlatform.h"
#include "ZipVolumeStore.h"

#include "SpannedWriter.h"
#include "TempDir.h"
#include "TestZip.h"
#include "VolumeStoreTestUtil.h"

#include <gtest/gtest.h>

using tbmtest::CauseOf;
using tbmtest::Pattern;
using tbmtest::ReadFileBytes;
using ZipPlatform::FileExists;

namespace {

const std::string kSignature("PK\x07\x08", 4);

// Info-ZIP's unzip, where installed, is the judge of an ordinary archive.
void ExpectUnzipAccepts(const std::string& path)
{
    if (tbmtest::UnzipAvailable()) {
        EXPECT_TRUE(tbmtest::UnzipTests(path)) << path;
    }
}

class ZipVolumeStoreFixedTest : public tbmtest::TempDirTest
{
protected:
    std::string Volume(const std::string& extension) const { return m_dir / ("set." + extension); }

    void WriteRecords(CZipVolumeStore& store, int count, std::uint32_t size)
    {
        for (int i = 0; i < count; ++i) {
            const std::string record = Pattern(size, static_cast<unsigned>(i));
            store.Write(record.data(), size, true);
        }
    }
};

TEST_F(ZipVolumeStoreFixedTest, RecordsNeverStraddleVolumesAndTheLastGetsTheFinalName)
{
    CZipVolumeStore store;
    store.Open(Volume("tbm"), CZipVolumeStore::ModeCreateSpanned, 100);
    EXPECT_EQ(1, store.IsSpanMode());
    EXPECT_EQ(CZipVolumeStore::SpanFixedSize, store.GetSpanMode());
    WriteRecords(store, 10, 30);
    EXPECT_EQ(3, store.GetCurrentVolume());
    EXPECT_EQ(Volume("tbm"), store.Close(false));

    std::string expected;
    for (int i = 0; i < 10; ++i)
        expected += Pattern(30, static_cast<unsigned>(i));
    EXPECT_EQ(kSignature + expected.substr(0, 90), ReadFileBytes(Volume("000")));
    EXPECT_EQ(expected.substr(90, 90), ReadFileBytes(Volume("001")));
    EXPECT_EQ(expected.substr(180, 90), ReadFileBytes(Volume("002")));
    EXPECT_EQ(expected.substr(270), ReadFileBytes(Volume("tbm")));
    EXPECT_EQ(0, FileExists(Volume("003")));
}

TEST_F(ZipVolumeStoreFixedTest, SplittableDataFillsEveryVolume)
{
    const std::string data = Pattern(250);
    CZipVolumeStore store;
    store.Open(Volume("tbm"), CZipVolumeStore::ModeCreateSpanned, 100);
    store.Write(data.data(), 250, false);
    store.Close(false);
    EXPECT_EQ(kSignature + data.substr(0, 96), ReadFileBytes(Volume("000")));
    EXPECT_EQ(data.substr(96, 100), ReadFileBytes(Volume("001")));
    EXPECT_EQ(data.substr(196), ReadFileBytes(Volume("tbm")));
}

TEST_F(ZipVolumeStoreFixedTest, ARecordLargerThanAVolumeGetsAVolumeOfItsOwn)
{
    CZipVolumeStore store;
    store.Open(Volume("tbm"), CZipVolumeStore::ModeCreateSpanned, 100);
    WriteRecords(store, 1, 10);
    const std::string big = Pattern(250, 7);
    store.Write(big.data(), 250, true);
    WriteRecords(store, 1, 10);
    store.Close(false);
    EXPECT_EQ(14u, ReadFileBytes(Volume("000")).size());
    EXPECT_EQ(big, ReadFileBytes(Volume("001")));
    EXPECT_EQ(Pattern(10, 0), ReadFileBytes(Volume("tbm")));
}

TEST_F(ZipVolumeStoreFixedTest, TheThousandthVolumeIsRefused)
{
    CZipVolumeStore store;
    store.Open(Volume("tbm"), CZipVolumeStore::ModeCreateSpanned, 4); // the signature fills .000
    WriteRecords(store, 998, 4);                                      // .001 ... .998
    EXPECT_EQ(998, store.GetCurrentVolume());
    EXPECT_EQ(108, CauseOf([&] { WriteRecords(store, 1, 4); }));
    store.Close(true);
    EXPECT_EQ(1, FileExists(Volume("998")));
    EXPECT_EQ(0, FileExists(Volume("999")));
    EXPECT_EQ(0, FileExists(Volume("tbm"))); // an interrupted set never looks complete
}

TEST_F(ZipVolumeStoreFixedTest, AnOlderFinalFileIsReplacedOnlyByACompleteSet)
{
    tbmtest::WriteFileBytes(Volume("tbm"), "older backup");
    CZipVolumeStore store;
    store.Open(Volume("tbm"), CZipVolumeStore::ModeCreateSpanned, 100);
    WriteRecords(store, 5, 30);
    EXPECT_EQ("older backup", ReadFileBytes(Volume("tbm")));
    store.Close(true);
    EXPECT_EQ("older backup", ReadFileBytes(Volume("tbm")));

    store.Open(Volume("tbm"), CZipVolumeStore::ModeCreateSpanned, 100);
    WriteRecords(store, 5, 30);
    store.Close(false);
    EXPECT_EQ(60u, ReadFileBytes(Volume("tbm")).size());
}

TEST_F(ZipVolumeStoreFixedTest, ReadsAcrossTheNumberedVolumes)
{
    const std::string data = Pattern(250);
    CZipVolumeStore store;
    store.Open(Volume("tbm"), CZipVolumeStore::ModeCreateSpanned, 100);
    store.Write(data.data(), 250, false);
    store.Close(false);

    store.Open(Volume("tbm"), CZipVolumeStore::ModeReadOnly, 0);
    store.UpdateSpanMode(2); // the end record's volume number; the folder is on a fixed drive
    EXPECT_EQ(CZipVolumeStore::SpanFixedSize, store.GetSpanMode());
    EXPECT_EQ(-1, store.IsSpanMode());
    store.ChangeVolume(0);
    std::string back(254, '\0');
    EXPECT_EQ(254u, store.Read(back.data(), 254, false));
    EXPECT_EQ(kSignature + data, back);
    EXPECT_EQ(2, store.GetCurrentVolume());
    char c;
    EXPECT_EQ(101, CauseOf([&] { store.Read(&c, 1, false); })); // past the last volume

    store.ChangeVolume(0);
    std::string record(120, '\0');
    EXPECT_EQ(101,
              CauseOf([&] { store.Read(record.data(), 120, true); })); // a record may not cross
    EXPECT_EQ(101, CauseOf([&] { store.ChangeVolume(3); }));
    EXPECT_EQ(101, CauseOf([&] { store.ChangeVolume(-1); }));
    EXPECT_EQ(9, CauseOf([&] { store.Write("x", 1, true); })); // spanned archives are only read
    store.Close(false);
}

TEST_F(ZipVolumeStoreFixedTest, AReadStartingAtTheEndOfAVolumeGoesOnTheNext)
{
    const std::string data = Pattern(196);
    CZipVolumeStore store;
    store.Open(Volume("tbm"), CZipVolumeStore::ModeCreateSpanned, 100);
    store.Write(data.data(), 196, false);
    store.Write("tail", 4, true);
    store.Close(false);

    store.Open(Volume("tbm"), CZipVolumeStore::ModeOpen, 100);
    EXPECT_EQ(CZipVolumeStore::SpanFixedHint, store.GetSpanMode());
    store.UpdateSpanMode(2);
    store.ChangeVolume(1);
    store.GetStream().SeekToEnd();
    char tail[4];
    EXPECT_EQ(4u, store.Read(tail, 4, true));
    EXPECT_EQ("tail", std::string(tail, 4));
}

// A backup that fits in its first volume ends as one ordinary archive.
class ZipVolumeStoreConversionTest : public ZipVolumeStoreFixedTest
{
protected:
    // Writes the entries, converts, writes the directory and closes; returns the
    // path Close gave.
    std::string WriteArchive(CZipVolumeStore& store, const std::vector<tbmtest::TestEntry>& entries,
                             bool expectConversion)
    {
        std::vector<CZipSpanEntry> spans = tbmtest::WriteSpannedEntries(store, entries);
        const auto directorySize =
            static_cast<std::uint32_t>(tbmtest::Directory(entries, spans, 0).size());
        EXPECT_EQ(expectConversion, store.ConvertToSingleVolume(spans, directorySize));
        const std::string directory = tbmtest::Directory(entries, spans, store.GetPosition());
        store.Write(directory.data(), static_cast<std::uint32_t>(directory.size()), true);
        return store.Close(false);
    }

    const std::vector<tbmtest::TestEntry> m_entries = {
        {"a.txt", Pattern(100, 1)}, {"dir/b.bin", Pattern(3000, 2)}, {"empty", ""}};
};

TEST_F(ZipVolumeStoreConversionTest, InTheWriteBuffer)
{
    CZipVolumeStore store;
    store.SetWriteBufferSize(1500000);
    store.Open(Volume("tbm"), CZipVolumeStore::ModeCreateSpanned, 1400000);
    EXPECT_EQ(Volume("tbm"), WriteArchive(store, m_entries, true));
    EXPECT_EQ(0, FileExists(Volume("000")));
    const std::string archive = ReadFileBytes(Volume("tbm"));
    EXPECT_EQ("PK\x03\x04", archive.substr(0, 4)); // no spanning signature
    EXPECT_EQ(0, archive[6] & 0x08);               // no descriptor flag
    EXPECT_EQ(std::string::npos, archive.find("PK\x07\x08"));
    ExpectUnzipAccepts(Volume("tbm"));
}

TEST_F(ZipVolumeStoreConversionTest, ThroughAMappingOfTheFile)
{
    CZipVolumeStore store;
    store.SetWriteBufferSize(1024); // the entries are flushed before the directory
    store.Open(Volume("tbm"), CZipVolumeStore::ModeCreateSpanned, 1400000);
    EXPECT_EQ(Volume("tbm"), WriteArchive(store, m_entries, true));
    const std::string archive = ReadFileBytes(Volume("tbm"));
    EXPECT_EQ(std::string::npos, archive.find("PK\x07\x08"));
    ExpectUnzipAccepts(Volume("tbm"));
}

TEST_F(ZipVolumeStoreConversionTest, StaysSpannedWhenTheDirectoryWouldNotFit)
{
    CZipVolumeStore store;
    // Entries and descriptors fit; the directory does not, even without them.
    store.Open(Volume("tbm"), CZipVolumeStore::ModeCreateSpanned, 3300);
    WriteArchive(store, m_entries, false);
    EXPECT_EQ(kSignature, ReadFileBytes(Volume("000")).substr(0, 4));
    EXPECT_EQ(1, FileExists(Volume("tbm")));
}

TEST_F(ZipVolumeStoreConversionTest, OnlyOnTheFirstVolume)
{
    CZipVolumeStore store;
    store.Open(Volume("tbm"), CZipVolumeStore::ModeCreateSpanned, 1000);
    WriteArchive(store, m_entries, false); // the 3000-byte entry already spans
    EXPECT_EQ(1, FileExists(Volume("000")));
    EXPECT_EQ(1, FileExists(Volume("tbm")));
}

TEST_F(ZipVolumeStoreConversionTest, FinishSpanReopensTheOneVolumeAsAnOrdinaryArchive)
{
    CZipVolumeStore store;
    store.Open(Volume("tbm"), CZipVolumeStore::ModeCreateSpanned, 1400000);
    std::vector<CZipSpanEntry> spans = tbmtest::WriteSpannedEntries(store, m_entries);
    ASSERT_TRUE(store.ConvertToSingleVolume(spans, 500));
    // Writing the directory failed here: the archive leaves the spanned state.
    store.FinishSpan();
    EXPECT_EQ(0, store.IsSpanMode());
    EXPECT_EQ(0, FileExists(Volume("000")));
    const std::string directory = tbmtest::Directory(m_entries, spans, store.GetPosition());
    store.Write(directory.data(), static_cast<std::uint32_t>(directory.size()), true);
    EXPECT_EQ(Volume("tbm"), store.Close(false));
    ExpectUnzipAccepts(Volume("tbm"));
}

} // namespace
