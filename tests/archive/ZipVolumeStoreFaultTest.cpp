// Every I/O failure of the volume store, driven by streams that fail after N bytes:
// whatever stays on disk is a clean prefix of what was meant, and an interrupted
// volume set never gets the name that marks it complete.
#include "ZipPlatform.h"
#include "ZipSimulatedDrive.h"
#include "ZipVolumeStore.h"

#include "DiskScript.h"
#include "DriveScope.h"
#include "FaultyDrive.h"
#include "TempDir.h"
#include "TestZip.h"
#include "VolumeStoreTestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>

using tbmtest::CauseOf;
using tbmtest::FaultBudget;
using tbmtest::Pattern;
using tbmtest::ReadFileBytes;
using ZipPlatform::FileExists;

namespace {

class ZipVolumeStoreFaultTest : public tbmtest::TempDirTest
{
protected:
    ZipVolumeStoreFaultTest()
        : m_budget(std::make_shared<FaultBudget>()), m_drive(CZipDrive::Current(), m_budget),
          m_scope(m_drive)
    {
    }

    bool IsPrefix(const std::string& part, const std::string& whole)
    {
        return whole.compare(0, part.size(), part) == 0;
    }

    std::shared_ptr<FaultBudget> m_budget;
    tbmtest::CFaultyDrive m_drive;
    tbmtest::DriveScope m_scope;
};

// Writes `data` into a fixed-size set at `path` in the way the archive writer
// does: splittable data with a record after every 300 bytes.
void WriteSet(CZipVolumeStore& store, const std::string& path, const std::string& data)
{
    store.Open(path, CZipVolumeStore::ModeCreateSpanned, 500);
    for (std::size_t at = 0; at < data.size(); at += 300) {
        const std::string piece = data.substr(at, 300);
        store.Write(piece.data(), static_cast<std::uint32_t>(piece.size()), false);
        store.Write("RECORD--", 8, true);
    }
}

TEST_F(ZipVolumeStoreFaultTest, ASingleFileKeepsOnlyWholeFlushes)
{
    const std::string data = Pattern(6000);
    const std::string path = m_dir / "a.tbm";
    for (std::uint64_t budget : {0, 1, 700, 1023, 1024, 1025, 3000, 4096, 5999}) {
        *m_budget = FaultBudget();
        m_budget->writeBytes = budget;
        CZipVolumeStore store;
        store.SetWriteBufferSize(1024);
        store.Open(path, CZipVolumeStore::ModeCreate, 0);
        int cause = 0;
        for (std::size_t at = 0; at < data.size() && cause == 0; at += 700) {
            const std::uint32_t size =
                static_cast<std::uint32_t>(std::min<std::size_t>(700, data.size() - at));
            cause = CauseOf([&] { store.Write(data.data() + at, size, true); });
        }
        if (cause == 0)
            cause = CauseOf([&] { store.Close(false); });
        ASSERT_EQ(5, cause) << budget;
        std::string onDisk = ReadFileBytes(path);
        EXPECT_EQ(0u, onDisk.size() % 1024) << budget;
        EXPECT_LE(onDisk.size(), budget);
        EXPECT_TRUE(IsPrefix(onDisk, data)) << budget;

        // Once the device works again, the kept buffer goes on where the file ends.
        m_budget->writeBytes = UINT64_MAX;
        store.Flush();
        const std::string after = ReadFileBytes(path);
        EXPECT_GT(after.size(), onDisk.size()) << budget;
        EXPECT_TRUE(IsPrefix(after, data)) << budget;
        store.Close(true);
    }
}

TEST_F(ZipVolumeStoreFaultTest, AnInterruptedVolumeSetNeverGetsItsFinalName)
{
    const std::string data = Pattern(2000);
    // The set as it is without failures.
    std::filesystem::create_directories(m_dir / "ref");
    CZipVolumeStore reference;
    WriteSet(reference, m_dir / "ref/set.tbm", data);
    reference.Close(false);
    const std::string complete = m_dir / "ref/set.tbm";
    ASSERT_EQ(1, FileExists(complete));

    std::uint64_t total = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir / "ref"))
        total += entry.file_size();
    std::filesystem::create_directories(m_dir / "out");
    for (std::uint64_t budget = 0; budget < total; budget += 53) {
        std::filesystem::remove_all(m_dir / "out");
        std::filesystem::create_directories(m_dir / "out");
        *m_budget = FaultBudget();
        m_budget->writeBytes = budget;
        CZipVolumeStore store;
        store.SetWriteBufferSize(1024);
        const int cause = CauseOf([&] {
            WriteSet(store, m_dir / "out/set.tbm", data);
            store.Close(false);
        });
        ASSERT_EQ(5, cause) << budget;
        store.Close(true);
        EXPECT_EQ(0, FileExists(m_dir / "out/set.tbm")) << budget;
        for (const auto& entry : std::filesystem::directory_iterator(m_dir / "out")) {
            const std::string name = entry.path().filename().string();
            const std::string expected = ReadFileBytes(
                FileExists(m_dir / "ref/" + name) == 1 ? m_dir / "ref/" + name : complete);
            EXPECT_TRUE(IsPrefix(ReadFileBytes(entry.path().string()), expected))
                << budget << " " << name;
        }
    }
}

TEST_F(ZipVolumeStoreFaultTest, AFailedSyncAtCloseKeepsTheNumberedNames)
{
    m_budget->failFlush = true;
    CZipVolumeStore store;
    WriteSet(store, m_dir / "set.tbm", std::string(100, 'x'));
    EXPECT_EQ(5, CauseOf([&] { store.Close(false); }));
    EXPECT_TRUE(store.IsOpen());
    store.Close(true);
    EXPECT_EQ(1, FileExists(m_dir / "set.000"));
    EXPECT_EQ(0, FileExists(m_dir / "set.tbm"));
}

TEST_F(ZipVolumeStoreFaultTest, AWriteThatCannotBeUndoneStopsAllWriting)
{
    m_budget->writeBytes = 1500;
    m_budget->failSetLength = true;
    CZipVolumeStore store;
    store.SetWriteBufferSize(1024);
    store.Open(m_dir / "a.tbm", CZipVolumeStore::ModeCreate, 0);
    const std::string data = Pattern(3000);
    EXPECT_EQ(5, CauseOf([&] { store.Write(data.data(), 3000, false); }));
    *m_budget = FaultBudget();
    EXPECT_EQ(5, CauseOf([&] { store.Write("x", 1, true); }));
    EXPECT_EQ(5, CauseOf([&] { store.Flush(); }));
    EXPECT_EQ(5, CauseOf([&] { store.Close(false); }));
    EXPECT_EQ(m_dir / "a.tbm", store.Close(true));
}

TEST_F(ZipVolumeStoreFaultTest, ReadFailuresAreReportedWherePartOfASetIsUnreadable)
{
    const std::string data = Pattern(2000);
    {
        CZipVolumeStore writer;
        WriteSet(writer, m_dir / "set.tbm", data);
        writer.Close(false);
    }
    ASSERT_EQ(1, FileExists(m_dir / "set.003"));
    ASSERT_EQ(0, FileExists(m_dir / "set.004"));
    const std::uint32_t total = 4 + 2000 + 7 * 8;
    for (std::uint64_t budget = 0; budget <= total; budget += 61) {
        *m_budget = FaultBudget();
        m_budget->readBytes = budget;
        CZipVolumeStore store;
        store.Open(m_dir / "set.tbm", CZipVolumeStore::ModeReadOnly, 0);
        store.UpdateSpanMode(4); // .000 to .003 and the last one
        std::string back(total, '\0');
        const int cause = CauseOf([&] {
            store.ChangeVolume(0);
            store.Read(back.data(), total, false);
        });
        EXPECT_EQ(budget >= total ? 0 : 5, cause) << budget;
        store.Close(true);
    }
}

TEST_F(ZipVolumeStoreFaultTest, AFailedSyncBeforeTheNextDiskAsksForNoDisk)
{
    CZipSimulatedDrive disks(m_dir / "disks");
    const int mount = disks.AddMount(m_dir / "media", true);
    disks.AddDisk(1000);
    disks.AddDisk(1000);
    tbmtest::CFaultyDrive faulty(disks, m_budget);
    tbmtest::DriveScope scope(faulty);
    tbmtest::CDiskScript script;
    script.m_answer = [&](int, int disk) {
        disks.Insert(mount, disk - 1);
        return true;
    };
    CZipVolumeStore store;
    store.m_pDiskCallback = &script;
    store.Open(m_dir / "media/b.tbm", CZipVolumeStore::ModeCreateSpanned, 0);
    m_budget->failFlush = true;
    const std::string data = Pattern(1500);
    EXPECT_EQ(5, CauseOf([&] { store.Write(data.data(), 1500, false); }));
    EXPECT_EQ(1u, script.m_calls.size()); // disk 2 was never asked for
    store.Close(true);
}

TEST_F(ZipVolumeStoreFaultTest, ADiskThatFillsUpUnexpectedlyKeepsOnlyWholeFlushes)
{
    CZipSimulatedDrive disks(m_dir / "disks");
    const int mount = disks.AddMount(m_dir / "media", true);
    disks.Insert(mount, disks.AddDisk(5000));
    tbmtest::DriveScope scope(disks);
    tbmtest::CDiskScript script;
    CZipVolumeStore store;
    store.SetWriteBufferSize(1024);
    store.m_pDiskCallback = &script;
    store.Open(m_dir / "media/b.tbm", CZipVolumeStore::ModeCreateSpanned, 0);
    disks.GetDisk(0).capacity = 1500; // someone else took the room
    const std::string data = Pattern(3000);
    EXPECT_EQ(28, CauseOf([&] { store.Write(data.data(), 3000, false); }));
    const std::string onDisk = ReadFileBytes(m_dir / "media/b.tbm");
    EXPECT_EQ(1024u, onDisk.size());
    EXPECT_EQ(std::string("PK\x07\x08", 4) + data.substr(0, 1020), onDisk);
    store.Close(true);
}

} // namespace
