#include "ZipMemoryFile.h"
#include "ZipVolumeStore.h"

#include "TempDir.h"
#include "TestZip.h"
#include "VolumeStoreTestUtil.h"

#include <gtest/gtest.h>

using tbmtest::CauseOf;
using tbmtest::Pattern;
using tbmtest::ReadFileBytes;

namespace {

class ZipVolumeStoreSingleTest : public tbmtest::TempDirTest
{
};

TEST_F(ZipVolumeStoreSingleTest, WritesThroughTheBufferAndReadsBack)
{
    const std::string data = Pattern(5000);
    const std::string path = m_dir / "a.tbm";
    CZipVolumeStore store;
    ASSERT_TRUE(store.SetWriteBufferSize(100)); // raised to the minimum
    EXPECT_EQ(1024u, store.GetWriteBufferSize());
    store.Open(path, CZipVolumeStore::ModeCreate, 0);
    EXPECT_FALSE(store.SetWriteBufferSize(4096));
    EXPECT_EQ(0, store.IsSpanMode());
    store.Write(data.data(), 700, true);
    EXPECT_EQ(700u, store.GetPosition());
    EXPECT_EQ(0u, ReadFileBytes(path).size()); // still buffered
    store.Write(data.data() + 700, 3000, false);
    store.Write(data.data() + 3700, 1300, true);
    EXPECT_EQ(5000u, store.GetPosition());
    EXPECT_EQ(path, store.Close(false));
    EXPECT_FALSE(store.IsOpen());
    EXPECT_EQ(data, ReadFileBytes(path));

    store.Open(path, CZipVolumeStore::ModeReadOnly, 0);
    EXPECT_EQ(CZipVolumeStore::SpanDetect, store.GetSpanMode());
    store.UpdateSpanMode(0);
    EXPECT_EQ(CZipVolumeStore::SpanNone, store.GetSpanMode());
    std::string back(5000, '\0');
    EXPECT_EQ(5000u, store.Read(back.data(), 5000, false));
    EXPECT_EQ(data, back);
    char c;
    EXPECT_EQ(101, CauseOf([&] { store.Read(&c, 1, false); })); // nothing more: damaged
    EXPECT_EQ(9, CauseOf([&] { store.Write("x", 1, false); })); // opened read-only
    store.Close(false);
}

TEST_F(ZipVolumeStoreSingleTest, ShortReadsOfASingleFileAreDamage)
{
    tbmtest::WriteFileBytes(m_dir / "a.tbm", "abc");
    CZipVolumeStore store;
    store.Open(m_dir / "a.tbm", CZipVolumeStore::ModeOpen, 1400000);
    EXPECT_EQ(CZipVolumeStore::SpanFixedHint, store.GetSpanMode());
    char buffer[8];
    EXPECT_EQ(101, CauseOf([&] { store.Read(buffer, 4, false); }));
    store.GetStream().SeekToBegin();
    EXPECT_EQ(3u, store.Read(buffer, 3, true));
}

TEST_F(ZipVolumeStoreSingleTest, ReadingSeesWhatIsStillBuffered)
{
    CZipVolumeStore store;
    store.Open(m_dir / "a.tbm", CZipVolumeStore::ModeCreate, 0);
    store.Write("hello", 5, true);
    store.Flush();
    store.Write("world", 5, true);
    store.GetStream().Seek(-5, CZipStream::FromEnd);
    char buffer[5];
    store.Read(buffer, 5, true);
    EXPECT_EQ("world", std::string(buffer, 5)); // the buffered part went out first
}

TEST_F(ZipVolumeStoreSingleTest, RefusedOpensLeaveTheStoreClosed)
{
    CZipVolumeStore store;
    EXPECT_EQ(2, CauseOf([&] { store.Open(m_dir / "missing", CZipVolumeStore::ModeOpen, 0); }));
    EXPECT_FALSE(store.IsOpen());
    EXPECT_EQ(22, CauseOf([&] { store.Open(m_dir / "a", 7, 0); }));
    EXPECT_EQ(22,
              CauseOf([&] { store.Open(m_dir / "a", CZipVolumeStore::ModeCreateSpanned, -1); }));
    EXPECT_FALSE(store.IsOpen());

    store.Open(m_dir / "a", CZipVolumeStore::ModeCreate, 0);
    EXPECT_EQ(112, CauseOf([&] { store.Open(m_dir / "b", CZipVolumeStore::ModeCreate, 0); }));
    // A second writer of the same archive is kept out.
    CZipVolumeStore other;
    EXPECT_EQ(100, CauseOf([&] { other.Open(m_dir / "a", CZipVolumeStore::ModeOpen, 0); }));
    EXPECT_FALSE(other.IsOpen());
}

TEST_F(ZipVolumeStoreSingleTest, InMemoryArchives)
{
    CZipMemoryFile memory;
    memory.Write("old contents", 12);
    CZipVolumeStore store;
    store.Open(memory, CZipVolumeStore::ModeCreate);
    EXPECT_TRUE(store.IsInMemory());
    EXPECT_EQ(0u, memory.GetLength()); // emptied
    store.Write("new", 3, true);
    EXPECT_EQ("", store.Close(false));
    EXPECT_EQ("new", std::string(memory.GetData(), memory.GetLength()));

    store.Open(memory, CZipVolumeStore::ModeReadOnly); // rewound, kept
    char buffer[3];
    EXPECT_EQ(3u, store.Read(buffer, 3, true));
    EXPECT_EQ(101, CauseOf([&] { store.UpdateSpanMode(2); })); // memory cannot span
    store.Close(true);
    EXPECT_EQ(22, CauseOf([&] { store.Open(memory, CZipVolumeStore::ModeCreateSpanned); }));
    EXPECT_FALSE(store.IsOpen());
}

} // namespace
