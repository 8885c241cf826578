// Free space at the output folder, asked through the archive's drive interface.
#include "OutputFreeSpace.h"
#include "EngineTest.h"

#include "ZipSimulatedDrive.h"

#include <gtest/gtest.h>

using namespace enginetest;

namespace {

class OutputFreeSpaceTest : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        tbm::CreateFolderPath(m_dir / "store");
        m_drive = std::make_unique<CZipSimulatedDrive>(m_dir / "store");
        m_mount = m_drive->AddMount(m_dir / "stick", true);
        m_disk = m_drive->AddDisk(1440000, "STICK");
        m_drive->Insert(m_mount, m_disk);
        m_previous = CZipDrive::SetCurrent(m_drive.get());
        g_ProjectData.NewJob();
    }
    void TearDown() override
    {
        CZipDrive::SetCurrent(m_previous);
        EngineTest::TearDown();
    }

    std::unique_ptr<CZipSimulatedDrive> m_drive;
    CZipDrive* m_previous = nullptr;
    int m_mount = -1;
    int m_disk = -1;
};

TEST_F(OutputFreeSpaceTest, RemovableMediumAsksTheDriveOfItsRoot)
{
    g_ProjectData.SetRemovableFolder(m_dir / "stick");
    g_ProjectData.SetMedium(1);
    EXPECT_EQ(1440000u, g_ProjectData.GetOutputFreeSpace());
    tbmtest::WriteFileBytes(m_dir / "stick/old.tbm", std::string(40000, 'x'));
    EXPECT_EQ(m_drive->GetFreeBytes(m_disk), g_ProjectData.GetOutputFreeSpace());
    EXPECT_LT(g_ProjectData.GetOutputFreeSpace(), 1440000u);
}

TEST_F(OutputFreeSpaceTest, EmptyDriveHasNoFreeSpace)
{
    g_ProjectData.SetRemovableFolder(m_dir / "stick");
    g_ProjectData.SetMedium(1);
    m_drive->Insert(m_mount, -1);
    EXPECT_EQ(0u, g_ProjectData.GetOutputFreeSpace());
}

TEST_F(OutputFreeSpaceTest, OtherFoldersAreAskedOfTheRealDrive)
{
    EXPECT_GT(g_ProjectData.GetOutputFreeSpace(), 0u);
    EXPECT_EQ(0u, GetFolderFreeSpace(""));
}

} // namespace
