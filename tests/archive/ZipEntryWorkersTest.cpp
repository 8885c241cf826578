// Entries handed to several threads come back in entry order, and a run stopped by
// its caller ends without hanging, whatever is still under way.
#include "TempDir.h"
#include "TestZip.h"
#include "ZipContainer.h"
#include "ZipEntryWorkers.h"
#include "ZipException.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <numeric>

using namespace tbmtest;

namespace {

class ZipEntryWorkersTest : public TempDirTest
{
protected:
    void SetUp() override
    {
        m_path = m_dir / "many.zip";
        CZipContainer archive;
        archive.Open(m_path, CZipContainer::ArcCreate);
        for (int i = 0; i < 40; ++i) {
            CZipEntryHeader header;
            header.m_fileName = "e" + std::to_string(i);
            ASSERT_TRUE(archive.OpenNewFile(header, 6));
            const std::string data = Pattern(3000 + 100 * static_cast<std::size_t>(i), i + 1);
            archive.WriteNewFile(data.data(), static_cast<std::uint32_t>(data.size()));
            archive.CloseNewFile();
        }
        archive.Close();
        m_own.Open(m_path, CZipContainer::ArcOpenReadOnly);
        m_indexes.resize(m_own.GetCount());
        std::iota(m_indexes.begin(), m_indexes.end(), 0);
    }

    CZipEntryWorkers::Opener Opener() const
    {
        return [path = m_path](CZipContainer& archive) {
            archive.Open(path, CZipContainer::ArcOpenReadOnly);
        };
    }

    std::string m_path;
    CZipContainer m_own;
    std::vector<int> m_indexes;
};

TEST_F(ZipEntryWorkersTest, ResultsComeInEntryOrderThoughLaterEntriesFinishFirst)
{
    CZipEntryWorkers workers(m_own, 3, Opener());
    ASSERT_EQ(workers.GetThreadCount(), 3u);
    // Entry 0 is held back until entry 5 was tested, so the results arrive out of
    // order; a damaged entry (index 7 fails on purpose) is still reported in its place.
    std::mutex mutex;
    std::condition_variable fifthDone;
    bool fifth = false;
    const auto action = [&](CZipContainer& archive, int index) {
        if (index == 0) {
            std::unique_lock lock(mutex);
            fifthDone.wait(lock, [&] { return fifth; });
        }
        if (index == 7)
            throw CZipException(CZipException::ErrCrc, "e7");
        const bool passed = archive.TestFile(index);
        if (index == 5) {
            std::lock_guard lock(mutex);
            fifth = true;
            fifthDone.notify_all();
        }
        return passed;
    };
    std::vector<int> order;
    std::uint64_t bytes = 0;
    const bool finished = workers.Run(
        m_indexes, action,
        [&](int index, const CZipEntryWorkers::Result& result) {
            order.push_back(index);
            EXPECT_EQ(result.ok, index != 7) << index;
            EXPECT_EQ(static_cast<bool>(result.error), index == 7) << index;
            return true;
        },
        [&](std::uint64_t delta) {
            bytes += delta;
            return true;
        });
    EXPECT_TRUE(finished);
    EXPECT_EQ(order, m_indexes);
    std::uint64_t expected = 0;
    for (int i = 0; i < 40; ++i)
        if (i != 7)
            expected += 3000 + 100 * static_cast<std::uint64_t>(i);
    EXPECT_EQ(bytes, expected); // every byte tested, counted once
}

TEST_F(ZipEntryWorkersTest, StoppingEndsTheRunAndAWorkerThatCannotOpenLeavesItToTheCaller)
{
    for (unsigned threads : {1u, 4u}) {
        CZipEntryWorkers workers(m_own, threads, Opener());
        std::vector<int> order;
        const bool finished = workers.Run(
            m_indexes, [](CZipContainer& archive, int index) { return archive.TestFile(index); },
            [&](int index, const CZipEntryWorkers::Result& result) {
                EXPECT_TRUE(result.ok);
                order.push_back(index);
                return index < 9;
            });
        EXPECT_FALSE(finished) << threads;
        EXPECT_EQ(order.size(), 10u) << threads;
    }
    // An archive that cannot be opened a second time: the caller's does the work.
    CZipEntryWorkers alone(m_own, 4, [](CZipContainer&) { throw CZipException(CZipException::ErrGeneric); });
    EXPECT_EQ(alone.GetThreadCount(), 1u);
    int reported = 0;
    EXPECT_TRUE(alone.Run(
        m_indexes, [](CZipContainer& archive, int index) { return archive.TestFile(index); },
        [&](int, const CZipEntryWorkers::Result& result) { return result.ok && ++reported > 0; }));
    EXPECT_EQ(reported, 40);
}

} // namespace
