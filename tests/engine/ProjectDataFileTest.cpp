// "ProjectData.xdat": the job's fields byte for byte, and how the file is kept.
#include "EngineTest.h"

#include "ObjectStreamError.h"
#include "WholeFile.h"

#include <gtest/gtest.h>

using namespace enginetest;

namespace {

// A job whose every stored field holds a value of its own.
CProjectData DistinctJob()
{
    CProjectData job;
    job.m_strDefaultOutputFolder = "/out";
    job.m_strJobName = "Job";
    job.m_strDescription = "Desc";
    job.m_strBackupFileName = "b.tbm";
    job.m_strExtension = ".tbm";
    job.m_strOutputPath = "/out/b.tbm";
    job.m_strCreationDate = "03/05/2024";
    job.m_strCreationTime = "02:07 PM";
    job.m_dwTimeStamp = 0x11223344;
    job.m_dwOptionFlag = 1;
    job.m_dwPasswordEnabled = 2;
    job.m_dwLevel = 3;
    job.m_dwMedium = 4;
    job.m_strPartSizeText = "100 Mb";
    job.m_dwPartSize = 0x05060708;
    job.m_strPassword = "pw";
    job.m_dwBackupType = 5;
    job.m_dwCdVolumeSize = 0x090A0B0C;
    job.m_strCdSizeText = "600 Mb";
    job.m_dwCdSpanning = 6;
    job.m_strRemovableFolder = "/media/u/STICK";
    job.m_strCdFolder = "/media/cd";
    job.m_dwRemovableIndex = 7;
    job.m_dwCdIndex = 8;
    job.m_dwFilterMode = 9;
    job.m_dwExcludeFlag = 10;
    job.m_strTypedPassword = "Pässwort";
    job.m_strConfirmPassword = "Pässwort";
    job.m_ExcludeList = {"*.tmp", "*.bak"};
    job.m_IncludeList = {"*.doc"};
    job.m_dwEncryption = CProjectData::kEncryptTraditional;
    job.m_dwThreads = 3;
    return job;
}

Bytes DistinctJobBytes(std::uint32_t threads = 3)
{
    Bytes b;
    for (const char* text :
         {"/out", "Job", "Desc", "b.tbm", ".tbm", "/out/b.tbm", "03/05/2024", "02:07 PM"})
        AppendShortString(b, text);
    for (std::uint32_t number : {0x11223344u, 1u, 2u, 3u, 4u})
        AppendU32(b, number);
    AppendShortString(b, "100 Mb");
    AppendU32(b, 0x05060708);
    AppendShortString(b, "pw");
    AppendU32(b, 5);
    AppendU32(b, 0x090A0B0C);
    AppendShortString(b, "600 Mb");
    AppendU32(b, 6);
    AppendShortString(b, "/media/u/STICK");
    AppendShortString(b, "/media/cd");
    for (std::uint32_t number : {7u, 8u, 9u, 10u})
        AppendU32(b, number);
    AppendShortString(b, "Pässwort");
    AppendShortString(b, "Pässwort");
    Append(b, {0x02, 0x00});
    AppendShortString(b, "*.tmp");
    AppendShortString(b, "*.bak");
    Append(b, {0x01, 0x00});
    AppendShortString(b, "*.doc");
    AppendU32(b, 2);
    AppendU32(b, threads);
    return b;
}

// The bytes of the job as programs from before the threads field, and from before
// the encryption field, wrote it.
Bytes JobBytesWithoutThreads()
{
    Bytes bytes = DistinctJobBytes();
    bytes.resize(bytes.size() - 4);
    return bytes;
}

Bytes OlderJobBytes()
{
    Bytes bytes = JobBytesWithoutThreads();
    bytes.resize(bytes.size() - 4);
    return bytes;
}

using ProjectDataFileTest = EngineTest;

TEST_F(ProjectDataFileTest, FieldsAreStoredInTheirOrderWithoutATag)
{
    EXPECT_EQ(DistinctJobBytes(), DistinctJob().ToBytes());
}

TEST_F(ProjectDataFileTest, StoredJobReadsBackFieldForField)
{
    CProjectData read;
    read.FromBytes(DistinctJobBytes());
    EXPECT_EQ(DistinctJobBytes(), read.ToBytes());
    EXPECT_EQ("Pässwort", read.m_strTypedPassword);
    EXPECT_EQ(std::vector<std::string>({"*.tmp", "*.bak"}), read.m_ExcludeList);
    EXPECT_EQ(0x090A0B0Cu, read.m_dwCdVolumeSize);
}

// Only the ends of the older forms are valid places to stop; a field cut short
// anywhere, the encryption and threads fields too, is a format error.
TEST_F(ProjectDataFileTest, CutShortFileIsAFormatErrorAndChangesNothing)
{
    const Bytes bytes = DistinctJobBytes();
    CProjectData job;
    job.m_strJobName = "Untouched";
    const Bytes before = job.ToBytes();
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        if (size == OlderJobBytes().size() || size == JobBytesWithoutThreads().size())
            continue;
        EXPECT_THROW(job.FromBytes(Bytes(bytes.begin(), bytes.begin() + size)), CObjectStreamError)
            << size;
    }
    EXPECT_EQ(before, job.ToBytes());
}

TEST_F(ProjectDataFileTest, OlderJobFileReadsAsTraditionalAndUnknownMethodsAsAes)
{
    CProjectData job;
    job.FromBytes(OlderJobBytes());
    EXPECT_EQ(CProjectData::kEncryptTraditional, job.GetEncryption());
    // Saved again it has the fields (threads: one per core), and everything else as it was.
    EXPECT_EQ(DistinctJobBytes(0), job.ToBytes());
    job.FromBytes(JobBytesWithoutThreads());
    EXPECT_EQ(DistinctJobBytes(0), job.ToBytes());

    for (const std::uint32_t stored : {0u, 1u, 3u, 0xFFFFFFFFu}) {
        Bytes bytes = OlderJobBytes();
        AppendU32(bytes, stored);
        job.FromBytes(bytes);
        EXPECT_EQ(CProjectData::kEncryptAes256, job.GetEncryption()) << stored;
    }
}

TEST_F(ProjectDataFileTest, NewJobEncryptsWithAesOnceItHasAPasswordAndKeepsItsMethod)
{
    g_ProjectData.NewJob();
    EXPECT_EQ(CProjectData::kEncryptNone, g_ProjectData.GetEncryption());
    EXPECT_EQ("", g_ProjectData.GetEncryptionText());
    g_ProjectData.SetPassword("secret");
    EXPECT_EQ(CProjectData::kEncryptAes256, g_ProjectData.GetEncryption());
    EXPECT_FALSE(g_ProjectData.SetEncryption(CProjectData::kEncryptNone));
    EXPECT_FALSE(g_ProjectData.SetEncryption(7));
    EXPECT_EQ(CProjectData::kEncryptAes256, g_ProjectData.GetEncryption());
    ASSERT_TRUE(g_ProjectData.SetEncryption(CProjectData::kEncryptTraditional));
    ASSERT_TRUE(g_ProjectData.SaveJob());
    const std::string name = g_ProjectData.GetJobName();

    g_ProjectData.NewJob();
    ASSERT_EQ(1, g_ProjectData.LoadJob(name));
    EXPECT_EQ(CProjectData::kEncryptTraditional, g_ProjectData.GetEncryption());
    EXPECT_EQ("traditional ZIP encryption", g_ProjectData.GetEncryptionText());
}

TEST_F(ProjectDataFileTest, HugeListCountIsRefusedWithoutAllocating)
{
    Bytes bytes = OlderJobBytes();
    bytes.resize(bytes.size() - 8); // drop the include list and the last exclude entry
    bytes.resize(bytes.size() - 14);
    Append(bytes, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F});
    CProjectData job;
    EXPECT_THROW(job.FromBytes(bytes), CObjectStreamError);
}

TEST_F(ProjectDataFileTest, SavedJobIsPrivateToTheUserAndHoldsThePasswordAsTyped)
{
    g_ProjectData.NewJob();
    g_ProjectData.m_strTypedPassword = "secret 1";
    g_ProjectData.SetPassword("secret 1");
    ASSERT_TRUE(g_ProjectData.SaveJob());
    const std::string folder = g_ProjectData.GetJobFolder();
    const std::string file = g_ProjectData.GetPathInJobFolder("ProjectData.xdat");
    EXPECT_EQ(0700, ModeOf(folder));
    EXPECT_EQ(0600, ModeOf(file));
    EXPECT_NE(std::string::npos, tbmtest::ReadFileBytes(file).find("secret 1"));

    // A file made readable by others is replaced by a private one on the next save.
    chmod(file.c_str(), 0644);
    chmod(folder.c_str(), 0755);
    ASSERT_TRUE(g_ProjectData.SaveJob());
    EXPECT_EQ(0600, ModeOf(file));
    EXPECT_EQ(0700, ModeOf(folder));
}

TEST_F(ProjectDataFileTest, SaveFailsWhenTheJobFolderIsNoFolder)
{
    g_ProjectData.NewJob();
    tbmtest::WriteFileBytes(g_ProjectData.GetJobFolder(), "in the way");
    EXPECT_FALSE(g_ProjectData.SaveJob());
    EXPECT_EQ("in the way", tbmtest::ReadFileBytes(g_ProjectData.GetJobFolder()));
}

} // namespace
