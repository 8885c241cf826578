// AddNewFile's smart rules, aborts and failures.
#include "FailingStream.h"
#include "TempDir.h"
#include "TestZip.h"
#include "VolumeStoreTestUtil.h"
#include "ZipContainer.h"
#include "ZipFile.h"
#include "ZipMemoryFile.h"
#include "ZipWriterTestUtil.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>

using namespace tbmtest;

namespace {

class ZipWriterAdd : public TempDirTest
{
protected:
    void SetUp() override { ASSERT_TRUE(m_zip.Open(m_memory, CZipContainer::ArcCreate)); }

    bool Add(const std::string& data, int level = -1, int smart = CZipAddInfo::DefaultSmartFlags,
             int replace = -1, const std::string& name = "f")
    {
        WriteFileBytes(m_dir / name, data);
        CZipAddInfo info;
        info.m_path = m_dir / name;
        info.m_level = level;
        info.m_smartFlags = smart;
        info.m_replaceIndex = replace;
        info.m_bufferSize = 1000;
        return m_zip.AddNewFile(info);
    }
    const CZipEntryHeader& Entry(std::size_t i) const { return m_zip.GetDirectory()[i]; }

    CZipMemoryFile m_memory;
    CZipContainer m_zip;
};

} // namespace

TEST_F(ZipWriterAdd, ThreeByteFileIsStored)
{
    ASSERT_TRUE(Add("abc", 9));
    EXPECT_EQ(Entry(0).m_method, 0);
    EXPECT_EQ(Entry(0).m_compressedSize, 3u);
}

TEST_F(ZipWriterAdd, EmptyFileIsNotEncryptedWithAPassword)
{
    ASSERT_TRUE(m_zip.SetPassword("pw"));
    ASSERT_TRUE(Add(""));
    ASSERT_TRUE(Add("twelve bytes", 6, CZipAddInfo::DefaultSmartFlags, -1, "g"));
    EXPECT_FALSE(Entry(0).IsEncrypted());
    EXPECT_EQ(Entry(0).m_compressedSize, 0u);
    EXPECT_TRUE(Entry(1).IsEncrypted());
    EXPECT_EQ(m_zip.GetPassword(), "pw"); // given back after the empty file
}

TEST_F(ZipWriterAdd, GainCheckStoresIncompressibleData)
{
    const std::string data = RandomBytes(50000);
    ASSERT_TRUE(Add(data, 9, CZipAddInfo::SmartCheckGain));
    ASSERT_EQ(m_zip.GetCount(), 1u);
    EXPECT_EQ(Entry(0).m_method, 0);
    EXPECT_EQ(Entry(0).m_compressedSize, 50000u);
    m_zip.Close();
    // Nothing left behind: one entry with its timestamp (9 bytes in each record).
    EXPECT_EQ(m_memory.GetLength(), 30u + 1 + 9 + 50000 + 46 + 1 + 9 + 22);
}

TEST_F(ZipWriterAdd, ReplacementStoredAtLevelZeroAndCompressedThroughTrial)
{
    ASSERT_TRUE(Add(Pattern(4000), 6, 7, -1, "a"));
    ASSERT_TRUE(Add(Pattern(3000), 6, 7, -1, "b"));
    ASSERT_TRUE(Add(Pattern(100000, 5), 0, 7, 0, "a")); // grows
    EXPECT_EQ(Entry(0).m_method, 0);
    ASSERT_TRUE(Add(Pattern(100000, 5), 6, 7 | CZipAddInfo::SmartInMemory, 0, "a")); // shrinks
    EXPECT_EQ(Entry(0).m_method, 8);
    EXPECT_EQ(Entry(1).m_offset, 30u + 1 + 9 + Entry(0).m_compressedSize);
    m_zip.Close();
    const std::string path = m_dir / "r.zip";
    WriteFileBytes(path, std::string(m_memory.GetData(), m_memory.GetLength()));
    if (UnzipAvailable()) {
        EXPECT_TRUE(UnzipTests(path));
    }
}

TEST_F(ZipWriterAdd, StoredReplacementReportsTheMoveThenTheFileAsAdding)
{
    ASSERT_TRUE(Add(Pattern(4000), 0, 7, -1, "a"));
    ASSERT_TRUE(Add(Pattern(3000), 0, 7, -1, "b"));
    CRecordingCallback callback;
    m_zip.SetCallback(&callback);
    ASSERT_TRUE(Add(Pattern(2500, 5), 0, 7, 0, "a"));
    m_zip.SetCallback(nullptr);
    ASSERT_FALSE(callback.calls.empty());
    EXPECT_EQ(callback.calls.front().type, CZipProgressCallback::CbReplace);
    int added = 0;
    for (const auto& call : callback.calls)
        if (call.type == CZipProgressCallback::CbAdd)
            added += call.bytes;
    EXPECT_EQ(added, 2500);
    EXPECT_EQ(callback.calls.back().type, CZipProgressCallback::CbAdd);
    EXPECT_EQ(callback.m_externalPath, m_dir / "a");
}

TEST_F(ZipWriterAdd, AbortOnLastChunkGives106AndAWholeEntry)
{
    CRecordingCallback callback;
    callback.stopAt = 3; // 2,500 bytes in chunks of 1,000: the third is the last
    m_zip.SetCallback(&callback);
    EXPECT_EQ(CauseOf([&] { Add(Pattern(2500)); }), 106);
    ASSERT_EQ(m_zip.GetCount(), 1u);
    EXPECT_EQ(Entry(0).m_uncompressedSize, 2500u);
    EXPECT_EQ(m_zip.GetEntryState(), 0);
    EXPECT_EQ(callback.ends, 1);
    EXPECT_EQ(callback.calls.at(0).type, CZipProgressCallback::CbAdd);
}

TEST_F(ZipWriterAdd, AbortBeforeTheEndDropsThePartialEntry)
{
    ASSERT_TRUE(Add("first entry, whole", 6, 7, -1, "one"));
    CRecordingCallback callback;
    callback.stopAt = 1;
    m_zip.SetCallback(&callback);
    EXPECT_EQ(CauseOf([&] { Add(Pattern(5000)); }), 106);
    EXPECT_EQ(m_zip.GetCount(), 1u);
    m_zip.Close();
    CZipContainer again;
    ASSERT_TRUE(again.Open(m_memory, CZipContainer::ArcOpenReadOnly));
    EXPECT_EQ(again.GetCount(), 1u);
}

TEST_F(ZipWriterAdd, DeletionAndSaveReportProgress)
{
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(Add(Pattern(3000, i), 6, 7, -1, "n" + std::to_string(i)));
    CRecordingCallback callback;
    m_zip.SetCallback(&callback);
    m_zip.DeleteFiles({1, 2});
    ASSERT_EQ(m_zip.GetCount(), 2u);
    EXPECT_EQ(Entry(1).m_fileName, "n3");
    EXPECT_EQ(Entry(1).m_offset, 30u + 2 + 9 + Entry(0).m_compressedSize);
    ASSERT_FALSE(callback.calls.empty());
    EXPECT_EQ(callback.calls.back().type, CZipProgressCallback::CbDelete);
    m_zip.Close();
    CZipContainer again;
    ASSERT_TRUE(again.Open(m_memory, CZipContainer::ArcOpenReadOnly));
    EXPECT_EQ(again.GetDirectory()[1].m_crc, Crc(Pattern(3000, 3)));
}

TEST_F(TempDirTest, DiskFullLeavesNoCompleteArchive)
{
    auto budget = std::make_shared<FaultBudget>();
    budget->writeBytes = 40000;
    CFailingStream stream(std::make_unique<CZipMemoryFile>(), budget);
    CZipContainer zip;
    zip.SetBuffers(1024, 1024, 1024);
    ASSERT_TRUE(zip.Open(stream, CZipContainer::ArcCreate));
    WriteFileBytes(m_dir / "big", RandomBytes(100000));
    CZipAddInfo info;
    info.m_path = m_dir / "big";
    EXPECT_NE(CauseOf([&] { zip.AddNewFile(info); }), 0);
    zip.Close(CZipContainer::CloseAfterException);
    EXPECT_EQ(zip.GetCount(), 0u);
}

