#include "BackupTestFixture.h"
#include "ZipContainer.h"
#include "ZipEntryHeader.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include <cstdio>
#include <ctime>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using backuptest::BackupMangerTest;
using backuptest::RunCommand;

// An even second, so that the archive stores it exactly.
constexpr std::time_t kFirstTime = 1709640000;

void SetModTime(const std::string& path, std::time_t when)
{
    struct timespec times[2] = {};
    times[0].tv_sec = when;
    times[1].tv_sec = when;
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

// Each entry's local header and data as they lie in the archive, by entry name.
std::map<std::string, std::string> RawEntries(const std::string& archivePath)
{
    std::map<std::string, std::string> entries;
    const std::string bytes = tbmtest::ReadFileBytes(archivePath);
    CZipContainer archive;
    archive.Open(archivePath, CZipContainer::ArcOpenReadOnly);
    for (std::size_t i = 0; i < archive.GetCount(); ++i) {
        CZipEntryHeader header;
        archive.GetFileInfo(header, static_cast<int>(i));
        const std::size_t at = header.m_offset;
        if (at + 30 > bytes.size())
            continue;
        const std::size_t name = ZipBytes::Get16(bytes.data() + at + 26);
        const std::size_t extra = ZipBytes::Get16(bytes.data() + at + 28);
        entries[header.m_fileName] = bytes.substr(at, 30 + name + extra + header.m_compressedSize);
    }
    archive.Close();
    return entries;
}

class BackupUpdateTest : public BackupMangerTest
{
protected:
    void SetUp() override
    {
        BackupMangerTest::SetUp();
        m_pSource->m_Files = {{MakeFile("a.txt", std::string(30000, 'a')), "home\\u\\a.txt"},
                              {MakeFile("b.txt", std::string(8000, 'b')), "home\\u\\b.txt"},
                              {MakeFile("c.txt", "unchanging c"), "home\\u\\c.txt"}};
        for (const auto& file : m_pSource->m_Files)
            SetModTime(file.first, kFirstTime);
    }

    // The first, normal backup; then the runs of `type` follow.
    void FirstBackup(std::uint32_t type)
    {
        Backup();
        ASSERT_EQ(m_recorder.EventValues(notify::kBackupDone).size(), 1u);
        g_ProjectData.m_dwBackupType = type;
    }

    void Run()
    {
        m_recorder.Clear();
        Backup();
    }

    // The last value posted with `code`, 0 when none was.
    std::intptr_t Count(int code) const
    {
        const auto values = m_recorder.EventValues(code);
        return values.empty() ? 0 : values.back();
    }

    std::string Out() const { return g_ProjectData.GetOutputPath(); }
};

TEST_F(BackupUpdateTest, CountsNewReplacedAndUnchangedAndKeepsUnchangedEntries)
{
    FirstBackup(1);
    const auto before = RawEntries(Out());
    tbmtest::WriteFileBytes(m_dir / "b.txt", std::string(9000, 'B'));
    SetModTime(m_dir / "b.txt", kFirstTime + 60);
    m_pSource->m_Files.push_back({MakeFile("d.txt", "new file d"), "home\\u\\d.txt"});
    Run();
    EXPECT_EQ(m_recorder.EventValues(notify::kBackupDone).size(), 1u);
    // d is new; b and the source's catalogue (which now lists d) are replaced; a, c,
    // "maindata.ini" and "treeobj.tdat" are as they were.
    EXPECT_EQ(Count(notify::kAddedCount), 1);
    EXPECT_EQ(Count(notify::kReplacedCount), 2);
    EXPECT_EQ(Count(notify::kUnchangedCount), 4);
    EXPECT_TRUE(m_recorder.EventValues(notify::kObsoleteCount).empty());
    EXPECT_TRUE(ReportHas(FillInserts(LoadResString(207), {"1"})));
    EXPECT_TRUE(ReportHas(FillInserts(LoadResString(208), {"2"})));
    EXPECT_TRUE(ReportHas(FillInserts(LoadResString(210), {"4"})));

    const auto after = RawEntries(Out());
    EXPECT_EQ(after.size(), 7u);
    for (const char* same : {"home\\u\\a.txt", "home\\u\\c.txt", "maindata.ini", "treeobj.tdat"})
        EXPECT_EQ(after.at(same), before.at(same)) << same;
    EXPECT_NE(after.at("home\\u\\b.txt"), before.at("home\\u\\b.txt"));
    ASSERT_EQ(RunCommand("unzip -t '" + Out() + "'"), 0);
    ASSERT_EQ(RunCommand("unzip -o -d '" + m_dir / "x" + "' '" + Out() + "' home/u/b.txt"), 0);
    EXPECT_TRUE(tbmtest::ReadFileBytes(m_dir / "x/home/u/b.txt") == std::string(9000, 'B'));
}

// Also for an AES backup, whose entries keep no CRC: the catalogue files are then
// compared with the data read from the backup.
TEST_F(BackupUpdateTest, UpdateRightAfterABackupChangesNothing)
{
    // Odd seconds: the archive keeps only even ones.
    for (const auto& file : m_pSource->m_Files)
        SetModTime(file.first, kFirstTime + 1);
    for (const char* password : {"", "s3cret"}) {
        SCOPED_TRACE(password);
        std::remove(Out().c_str());
        g_ProjectData.SetPassword(password);
        if (*password) {
            ASSERT_TRUE(g_ProjectData.SetEncryption(CProjectData::kEncryptAes256));
        }
        m_recorder.Clear();
        FirstBackup(1);
        const std::string first = tbmtest::ReadFileBytes(Out());
        for (int run = 0; run < 2; ++run) {
            Run();
            EXPECT_EQ(Count(notify::kAddedCount), 0);
            EXPECT_EQ(Count(notify::kReplacedCount), 0);
            EXPECT_EQ(Count(notify::kUnchangedCount), 6);
            EXPECT_EQ(tbmtest::ReadFileBytes(Out()), first) << "run " << run;
        }
    }
}

// The CRC of every entry by name.
std::map<std::string, std::uint32_t> Crcs(const std::string& archivePath)
{
    std::map<std::string, std::uint32_t> crcs;
    CZipContainer archive;
    archive.Open(archivePath, CZipContainer::ArcOpenReadOnly);
    for (std::size_t i = 0; i < archive.GetCount(); ++i) {
        CZipEntryHeader header;
        archive.GetFileInfo(header, static_cast<int>(i));
        crcs[header.m_fileName] = header.m_crc;
    }
    archive.Close();
    return crcs;
}

// Files that changed without a newer time are still caught: replaced by an older
// copy, changed again within the same second, moved in with an old time. A file
// only touched keeps its stored bytes and takes the new time.
TEST_F(BackupUpdateTest, EveryChangedFileIsReplacedWhateverItsTime)
{
    m_pSource->m_Files.push_back({MakeFile("d.txt", "moved away"), "home\\u\\d.txt"});
    m_pSource->m_Files.push_back({MakeFile("e.txt", "only touched"), "home\\u\\e.txt"});
    for (const auto& file : m_pSource->m_Files)
        SetModTime(file.first, kFirstTime);
    // b changes again right after the backup, keeping size and time: a file written
    // twice within one second of being read.
    SetModTime(m_dir / "b.txt", std::time(nullptr));
    FirstBackup(1);
    const auto before = RawEntries(Out());
    tbmtest::WriteFileBytes(m_dir / "a.txt", std::string(30000, 'o')); // an older copy
    SetModTime(m_dir / "a.txt", kFirstTime - 2 * 86400);
    struct stat st
    {
    };
    ASSERT_EQ(stat((m_dir / "b.txt").c_str(), &st), 0);
    tbmtest::WriteFileBytes(m_dir / "b.txt", std::string(8000, 'c'));
    SetModTime(m_dir / "b.txt", st.st_mtime);
    tbmtest::WriteFileBytes(m_dir / "other.txt", "moved in!!");
    SetModTime(m_dir / "other.txt", kFirstTime - 86400);
    ASSERT_EQ(std::rename((m_dir / "other.txt").c_str(), (m_dir / "d.txt").c_str()), 0);
    SetModTime(m_dir / "e.txt", kFirstTime + 3600);
    Run();

    EXPECT_GE(Count(notify::kReplacedCount), 3) << m_engine.GetReport().GetText();
    // Local header, "home/u/x.txt" and the 9-byte timestamp come before the data.
    constexpr std::size_t kData = 30 + 12 + 9;
    const auto after = RawEntries(Out());
    for (const char* changed : {"home\\u\\a.txt", "home\\u\\b.txt", "home\\u\\d.txt"})
        EXPECT_NE(after.at(changed).substr(kData), before.at(changed).substr(kData)) << changed;
    // e's data is the stored one; its entry now carries the new time.
    EXPECT_EQ(after.at("home\\u\\e.txt").substr(kData), before.at("home\\u\\e.txt").substr(kData));
    CZipContainer archive;
    archive.Open(Out(), CZipContainer::ArcOpenReadOnly);
    CZipEntryHeader e;
    ASSERT_TRUE(archive.GetFileInfo(e, archive.FindFile("home\\u\\e.txt")));
    EXPECT_EQ(e.GetTime(), kFirstTime + 3600);
    archive.Close();
    ASSERT_EQ(RunCommand("unzip -o -d '" + m_dir / "x" + "' '" + Out() + "'"), 0);
    EXPECT_EQ(tbmtest::ReadFileBytes(m_dir / "x/home/u/b.txt"), std::string(8000, 'c'));
    EXPECT_EQ(tbmtest::ReadFileBytes(m_dir / "x/home/u/d.txt"), "moved in!!");
}

TEST_F(BackupUpdateTest, TenRunsWithNothingChangedKeepTheEntriesOfTheFirst)
{
    m_pSource->m_Files.push_back({m_dir.Str(), "home\\u\\"});
    FirstBackup(1);
    const auto first = Crcs(Out());
    for (int run = 0; run < 10; ++run) {
        Run();
        ASSERT_EQ(m_recorder.EventValues(notify::kBackupDone).size(), 1u);
        EXPECT_EQ(Crcs(Out()), first) << "run " << run;
    }
}

TEST_F(BackupUpdateTest, UpdateWithoutAnArchiveCreatesIt)
{
    g_ProjectData.m_dwBackupType = 1;
    Backup();
    EXPECT_EQ(m_recorder.EventValues(notify::kBackupDone).size(), 1u);
    EXPECT_EQ(Count(notify::kAddedCount), 6);
    EXPECT_EQ(RunCommand("unzip -t '" + Out() + "'"), 0);
}

TEST_F(BackupUpdateTest, UnreadableArchiveIsLeftAsItWas)
{
    tbmtest::WriteFileBytes(Out(), "not an archive at all");
    g_ProjectData.m_dwBackupType = 2;
    Backup();
    EXPECT_EQ(m_recorder.EventValues(notify::kBackupFailed).size(), 1u);
    EXPECT_TRUE(m_recorder.EventValues(notify::kFileCount).empty());
    EXPECT_EQ(tbmtest::ReadFileBytes(Out()), "not an archive at all");
    EXPECT_FALSE(m_engine.GetProgress().m_RunningEvent.IsSet());
}

// A backup split into parts takes no new entries; an update must fail, not report a
// run in which nothing could be added as finished.
TEST_F(BackupUpdateTest, SplitBackupIsNotUpdatedAndStaysReadable)
{
    g_ProjectData.m_dwMedium = 2;
    g_ProjectData.m_dwPartSize = 65536;
    const std::string noise = backuptest::Noise(150000, 99);
    m_pSource->m_Files.push_back({MakeFile("noise.bin", noise), "home\\u\\noise.bin"});
    FirstBackup(1);
    ASSERT_TRUE(std::filesystem::exists(m_dir / "out.000"));
    const std::string before = tbmtest::ReadFileBytes(Out());
    g_ProjectData.m_dwMedium = 0;
    m_pSource->m_Files.push_back({MakeFile("new.txt", "new"), "home\\u\\new.txt"});
    Run();
    EXPECT_EQ(m_recorder.EventValues(notify::kBackupFailed).size(), 1u);
    EXPECT_TRUE(m_recorder.EventValues(notify::kBackupDone).empty());
    EXPECT_TRUE(ReportHas("is split into parts and cannot be updated"));
    EXPECT_EQ(tbmtest::ReadFileBytes(Out()), before);
    EXPECT_FALSE(m_engine.GetProgress().m_RunningEvent.IsSet());
}

TEST_F(BackupUpdateTest, SynchroniseDeletesTheEntriesOfRemovedFiles)
{
    FirstBackup(2);
    ASSERT_EQ(std::remove((m_dir / "b.txt").c_str()), 0);
    m_prompt.SetDefaultAnswer(IDSKIPFILE);
    m_pSource->m_Files.erase(m_pSource->m_Files.begin() + 1);
    Run();
    EXPECT_EQ(m_recorder.EventValues(notify::kBackupDone).size(), 1u);
    EXPECT_EQ(m_recorder.EventValues(notify::kObsoleteCount), std::vector<std::intptr_t>{1});
    EXPECT_TRUE(ReportHas(FillInserts(LoadResString(209), {"1"})));
    EXPECT_TRUE(ReportHas(206));
    const auto entries = RawEntries(Out());
    EXPECT_EQ(entries.count("home\\u\\b.txt"), 0u);
    EXPECT_EQ(entries.size(), 5u);
    EXPECT_EQ(RunCommand("unzip -t '" + Out() + "'"), 0);
    // Nothing left to delete the next time.
    Run();
    EXPECT_EQ(m_recorder.EventValues(notify::kObsoleteCount), std::vector<std::intptr_t>{0});
}

// The names in `folder`.
std::set<std::string> FolderNames(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// The old entries are copied as they are stored: a password they do not open (or
// none at all) would leave a backup of two passwords. Refused before the new archive
// is begun, for either method, update or synchronise.
TEST_F(BackupUpdateTest, PasswordThatDoesNotOpenThePreviousBackupWritesNothing)
{
    for (const auto method : {CProjectData::kEncryptTraditional, CProjectData::kEncryptAes256}) {
        std::remove(Out().c_str());
        g_ProjectData.SetPassword("right");
        ASSERT_TRUE(g_ProjectData.SetEncryption(method));
        m_recorder.Clear();
        FirstBackup(0);
        const std::string before = tbmtest::ReadFileBytes(Out());
        const std::set<std::string> names = FolderNames(m_dir.Str());
        tbmtest::WriteFileBytes(m_dir / "b.txt", "changed b");
        for (const char* password : {"wrong", ""}) {
            for (const std::uint32_t type : {1u, 2u}) {
                g_ProjectData.SetPassword(password);
                g_ProjectData.m_dwBackupType = type;
                m_engine.GetReport().LoadTemplate(CHtmlReport::kBackupTemplate);
                m_engine.GetReport().SetPlaceholder(CHtmlReport::kBackupSt);
                Run();
                const std::string run = std::string(password) + " " + std::to_string(type);
                EXPECT_EQ(m_recorder.EventValues(notify::kBackupFailed).size(), 1u) << run;
                EXPECT_TRUE(m_recorder.EventValues(notify::kFileCount).empty()) << run;
                EXPECT_TRUE(ReportHas(result::GetName(result::kBadPassword))) << run;
                EXPECT_TRUE(ReportHas(Out())) << run;
                EXPECT_TRUE(tbmtest::ReadFileBytes(Out()) == before) << run;
                EXPECT_EQ(FolderNames(m_dir.Str()), names) << run;
            }
        }
        // The right password passes the check and the changed file goes in.
        g_ProjectData.SetPassword("right");
        g_ProjectData.m_dwBackupType = 1;
        Run();
        EXPECT_EQ(m_recorder.EventValues(notify::kBackupDone).size(), 1u);
        const std::string x = m_dir / ("x" + std::to_string(method));
        ASSERT_EQ(RunCommand("7zz x -pright -o'" + x + "' '" + Out() + "'"), 0);
        EXPECT_EQ(tbmtest::ReadFileBytes(x + "/home/u/b.txt"), "changed b");
        tbmtest::WriteFileBytes(m_dir / "b.txt", std::string(8000, 'b'));
    }
}

TEST_F(BackupUpdateTest, CancelledSynchroniseDeletesNothing)
{
    FirstBackup(2);
    const auto before = RawEntries(Out());
    ASSERT_EQ(std::remove((m_dir / "b.txt").c_str()), 0);
    m_pSource->m_Files.erase(m_pSource->m_Files.begin() + 1);
    tbmtest::WriteFileBytes(m_dir / "a.txt", std::string(40000, 'A'));
    SetModTime(m_dir / "a.txt", kFirstTime + 10);
    m_engine.StartCollect(nullptr);
    ASSERT_EQ(m_engine.WaitCollect(), result::kSuccess);
    ASSERT_EQ(m_engine.WriteCatalogue(), 1);
    // Cancelled at the last file: every file was looked at, but the run did not end.
    backuptest::CCancelAt cancel(m_engine.GetProgress(), 5);
    ASSERT_EQ(m_engine.StartBackup(&cancel), 0);
    m_engine.WaitForWorker();
    EXPECT_EQ(cancel.EventValues(notify::kBackupFailed).size(), 1u);
    EXPECT_TRUE(cancel.EventValues(notify::kObsoleteCount).empty());
    EXPECT_TRUE(ReportHas(204));
    const auto after = RawEntries(Out());
    EXPECT_EQ(after.count("home\\u\\b.txt"), 1u);
    EXPECT_EQ(after.at("home\\u\\b.txt"), before.at("home\\u\\b.txt"));
    EXPECT_EQ(RunCommand("unzip -t '" + Out() + "'"), 0);
}

} // namespace
