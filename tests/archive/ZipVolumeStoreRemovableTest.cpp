#include "ZipDiskCallback.h"
#include "ZipPlatform.h"
#include "ZipSimulatedDrive.h"
#include "ZipVolumeStore.h"

#include "DiskScript.h"
#include "DriveScope.h"
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

// A removable drive at <test>/media with five disks of 1,000 bytes. By default the
// script inserts the disk that is asked for (disk n = disk number n - 1).
class ZipVolumeStoreRemovableTest : public tbmtest::TempDirTest
{
protected:
    ZipVolumeStoreRemovableTest() : m_drive(m_dir / "disks"), m_scope(m_drive)
    {
        m_mount = m_drive.AddMount(m_dir / "media", true);
        for (int i = 0; i < 5; ++i)
            m_drive.AddDisk(1000, "DISK" + std::to_string(i + 1));
        m_script.m_answer = [this](int, int disk) {
            m_drive.Insert(m_mount, disk - 1);
            return true;
        };
        m_store.m_pDiskCallback = &m_script;
    }

    std::string Path() const { return m_dir / "media/backup.tbm"; }
    std::string OnDisk(int disk) const
    {
        return ReadFileBytes(m_drive.GetDisk(disk).folder + "/backup.tbm");
    }
    std::vector<int> Codes() const
    {
        std::vector<int> codes;
        for (const auto& call : m_script.m_calls)
            codes.push_back(call.code);
        return codes;
    }
    std::vector<int> Disks() const
    {
        std::vector<int> disks;
        for (const auto& call : m_script.m_calls)
            disks.push_back(call.disk);
        return disks;
    }

    CZipSimulatedDrive m_drive;
    tbmtest::DriveScope m_scope;
    int m_mount = 0;
    tbmtest::CDiskScript m_script;
    CZipVolumeStore m_store;
};

TEST_F(ZipVolumeStoreRemovableTest, NeedsADiskCallback)
{
    m_store.m_pDiskCallback = nullptr;
    EXPECT_EQ(103, CauseOf([&] { m_store.Open(Path(), CZipVolumeStore::ModeCreateSpanned, 0); }));
    EXPECT_FALSE(m_store.IsOpen());
}

TEST_F(ZipVolumeStoreRemovableTest, SpansOverDisksAskingForEachWithTheBytesNeeded)
{
    const std::string data = Pattern(1500);
    const std::string record = Pattern(300, 9);
    m_store.SetWriteBufferSize(1024);
    m_store.Open(Path(), CZipVolumeStore::ModeCreateSpanned, 0);
    EXPECT_EQ(CZipVolumeStore::SpanRemovable, m_store.GetSpanMode());
    m_store.Write(data.data(), 1500, false); // fills disk 1 and half of disk 2
    m_store.Write(record.data(), 300, true);
    m_store.Write(record.data(), 300, true); // does not fit on disk 2 any more
    EXPECT_EQ(Path(), m_store.Close(false));

    EXPECT_EQ((std::vector<int>{4, 1, 300}), Codes());
    EXPECT_EQ((std::vector<int>{1, 2, 3}), Disks());
    EXPECT_EQ(Path(), m_script.m_calls[0].path);
    EXPECT_EQ(kSignature + data.substr(0, 996), OnDisk(0));
    EXPECT_EQ(data.substr(996) + record, OnDisk(1));
    EXPECT_EQ(record, OnDisk(2));
    EXPECT_EQ("pkback# 001", m_drive.GetDisk(0).label);
    EXPECT_EQ("pkback# 002", m_drive.GetDisk(1).label);
    EXPECT_EQ("pkback# 003", m_drive.GetDisk(2).label);
}

TEST_F(ZipVolumeStoreRemovableTest, ADiskHoldingTheArchiveNameIsReported)
{
    m_drive.Insert(m_mount, 0);
    tbmtest::WriteFileBytes(Path(), "someone's file");
    m_script.m_answer = [this](int code, int disk) {
        if (code == CZipDiskCallback::DiskHoldsArchiveName)
            m_drive.Insert(m_mount, 4); // the user takes another disk
        else
            m_drive.Insert(m_mount, disk - 1);
        return true;
    };
    m_store.Open(Path(), CZipVolumeStore::ModeCreateSpanned, 0);
    m_store.Close(false);
    EXPECT_EQ((std::vector<int>{4, -2}), Codes());
    EXPECT_EQ((std::vector<int>{1, 1}), Disks());
    EXPECT_EQ("someone's file", OnDisk(0));
    EXPECT_EQ(kSignature, OnDisk(4));
}

TEST_F(ZipVolumeStoreRemovableTest, ADiskOfTheSetIsNeverOfferedForDeletion)
{
    const std::string data = Pattern(2500);
    m_script.m_answer = [this](int, int disk) {
        const std::size_t call = m_script.m_calls.size();
        if (call == 2)
            return true;                                   // the user forgets to change the disk
        m_drive.Insert(m_mount, call == 4 ? 0 : disk - 1); // then puts disk 1 back in
        return true;
    };
    m_store.Open(Path(), CZipVolumeStore::ModeCreateSpanned, 0);
    m_store.Write(data.data(), 2500, false);
    m_store.Close(false);
    // Asked again for a new disk each time, never with -2.
    EXPECT_EQ((std::vector<int>{4, 1, 1, 1, 1}), Codes());
    EXPECT_EQ((std::vector<int>{1, 2, 2, 3, 3}), Disks());
    EXPECT_EQ(kSignature + data.substr(0, 996), OnDisk(0));
    EXPECT_EQ(data.substr(996, 1000), OnDisk(1));
    EXPECT_EQ(data.substr(1996), OnDisk(2));
}

TEST_F(ZipVolumeStoreRemovableTest, ALabelThatCannotBeSetIsAskedAboutOnceThenAccepted)
{
    for (int disk = 0; disk < 5; ++disk)
        m_drive.GetDisk(disk).labelFixed = true;
    const std::string data = Pattern(1200);
    m_store.Open(Path(), CZipVolumeStore::ModeCreateSpanned, 0);
    m_store.Write(data.data(), 1200, false);
    m_store.Close(false);
    EXPECT_EQ((std::vector<int>{4, -3, 1, -3}), Codes());
    EXPECT_EQ((std::vector<int>{1, 1, 2, 2}), Disks());
    EXPECT_EQ(data.substr(996), OnDisk(1));
}

TEST_F(ZipVolumeStoreRemovableTest, AWriteProtectedDiskIsReportedUntilAnotherIsInserted)
{
    m_drive.GetDisk(0).writeProtected = true;
    m_script.m_answer = [this](int code, int) {
        if (code == CZipDiskCallback::FileNotCreated)
            m_drive.Insert(m_mount, 1);
        else if (m_drive.GetInserted(m_mount) < 0)
            m_drive.Insert(m_mount, 0);
        return true;
    };
    m_store.Open(Path(), CZipVolumeStore::ModeCreateSpanned, 0);
    m_store.Close(false);
    EXPECT_EQ((std::vector<int>{4, -3, -4}), Codes());
    EXPECT_EQ((std::vector<int>{1, 1, 1}), Disks());
    EXPECT_EQ(kSignature, OnDisk(1));
}

TEST_F(ZipVolumeStoreRemovableTest, RefusingADiskAbortsWith104)
{
    m_script.m_answer = [](int, int) { return false; };
    try {
        m_store.Open(Path(), CZipVolumeStore::ModeCreateSpanned, 0);
        FAIL() << "no exception";
    } catch (const CZipException& e) {
        EXPECT_EQ(104, e.GetCause());
        EXPECT_EQ(Path(), e.GetFileName());
    }
    EXPECT_FALSE(m_store.IsOpen());

    // Later: the first disk is written, the second refused.
    m_script.m_answer = [this](int, int disk) {
        m_drive.Insert(m_mount, disk - 1);
        return disk == 1;
    };
    m_store.Open(Path(), CZipVolumeStore::ModeCreateSpanned, 0);
    const std::string data = Pattern(1200);
    EXPECT_EQ(104, CauseOf([&] { m_store.Write(data.data(), 1200, false); }));
    m_store.Close(true);
    EXPECT_EQ(kSignature + data.substr(0, 996), OnDisk(0)); // synced before disk 2 was asked
}

TEST_F(ZipVolumeStoreRemovableTest, ADiskTooSmallForARecordIsAskedForAgain)
{
    m_drive.GetDisk(1).capacity = 100;
    m_script.m_answer = [this](int, int disk) {
        // Disk 2 is asked for twice: the user tries the small disk first.
        const bool retry = disk == 2 && m_drive.GetInserted(m_mount) == 1;
        m_drive.Insert(m_mount, retry ? 2 : disk - 1);
        return true;
    };
    const std::string record = Pattern(500, 3);
    m_store.Open(Path(), CZipVolumeStore::ModeCreateSpanned, 0);
    m_store.Write(record.data(), 500, true);
    m_store.Write(record.data(), 500, true); // disk 1 is full; disk 2 is too small
    m_store.Close(false);
    EXPECT_EQ((std::vector<int>{4, 500, 500}), Codes());
    EXPECT_EQ((std::vector<int>{1, 2, 2}), Disks());
    EXPECT_EQ(0u, m_drive.GetUsedBytes(1)); // the empty volume was taken away again
    EXPECT_EQ(record, ReadFileBytes(m_drive.GetDisk(2).folder + "/backup.tbm"));
}

TEST_F(ZipVolumeStoreRemovableTest, ReadingAsksForDisksByNumber)
{
    const std::string data = Pattern(2500);
    m_store.Open(Path(), CZipVolumeStore::ModeCreateSpanned, 0);
    m_store.Write(data.data(), 2500, false);
    m_store.Close(false);
    ASSERT_EQ(2, m_drive.GetInserted(m_mount)); // the last disk is in the drive
    m_script.m_calls.clear();

    m_store.Open(Path(), CZipVolumeStore::ModeReadOnly, 0);
    m_store.UpdateSpanMode(2);
    EXPECT_EQ(CZipVolumeStore::SpanRemovable, m_store.GetSpanMode());
    m_store.ChangeVolume(0);
    std::string back(2504, '\0');
    EXPECT_EQ(2504u, m_store.Read(back.data(), 2504, false));
    EXPECT_EQ(kSignature + data, back);
    EXPECT_EQ((std::vector<int>{-1, -1, -1}), Codes());
    EXPECT_EQ((std::vector<int>{1, 2, 3}), Disks());
    m_store.Close(false);
}

TEST_F(ZipVolumeStoreRemovableTest, ReadingAVolumeSetOnARemovableDriveWithAVolumeSizeUsesNames)
{
    m_drive.Insert(m_mount, 0);
    m_drive.GetDisk(0).capacity = 100000;
    const std::string data = Pattern(2500);
    m_store.Open(Path(), CZipVolumeStore::ModeCreateSpanned, 1000);
    m_store.Write(data.data(), 2500, false);
    m_store.Close(false);
    EXPECT_EQ(1, FileExists(m_dir / "media/backup.000"));

    m_store.Open(Path(), CZipVolumeStore::ModeReadOnly, 1000);
    m_store.UpdateSpanMode(2);
    EXPECT_EQ(CZipVolumeStore::SpanFixedSize, m_store.GetSpanMode());
    m_store.ChangeVolume(0);
    std::string back(2504, '\0');
    EXPECT_EQ(2504u, m_store.Read(back.data(), 2504, false));
    EXPECT_EQ(kSignature + data, back);
    EXPECT_TRUE(m_script.m_calls.empty());
}

TEST_F(ZipVolumeStoreRemovableTest, ReadingFromARemovableDriveNeedsTheCallback)
{
    m_drive.Insert(m_mount, 0);
    tbmtest::WriteFileBytes(Path(), "x");
    m_store.m_pDiskCallback = nullptr;
    m_store.Open(Path(), CZipVolumeStore::ModeReadOnly, 0);
    EXPECT_EQ(103, CauseOf([&] { m_store.UpdateSpanMode(1); }));
}

} // namespace
