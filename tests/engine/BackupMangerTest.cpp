#include "BackupTestFixture.h"
#include "MainCatalogue.h"
#include "Notify.h"
#include "NotifyRecorder.h"
#include "ResultCodes.h"
#include "ScriptedPrompt.h"
#include "ZipContainer.h"
#include "ZipEntryHeader.h"
#include "ZipExtraField.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

using backuptest::BackupMangerTest;
using backuptest::RunCommand;

// How the entries with data of the archive at `path` are encrypted, as the archive
// stores it: "none", "traditional", or "aes" with the key length its AES block names.
// Empty files go in unencrypted: there is nothing to hide.
std::set<std::string> EntryEncryptions(const std::string& path)
{
    std::set<std::string> methods;
    CZipContainer archive;
    archive.Open(path, CZipContainer::ArcOpenReadOnly);
    for (std::size_t i = 0; i < archive.GetCount(); ++i) {
        CZipEntryHeader header;
        archive.GetFileInfo(header, static_cast<int>(i));
        ZipExtraField::AesInfo aes;
        if (header.m_uncompressedSize == 0)
            continue;
        if (!header.IsEncrypted())
            methods.insert("none");
        else if (header.m_method != ZipExtraField::AesMethod)
            methods.insert("traditional");
        else if (ZipExtraField::GetAes(header.m_extraField, aes))
            methods.insert("aes" + std::to_string(64 + 64 * aes.strength));
        else
            methods.insert("unsound aes");
    }
    archive.Close();
    return methods;
}

TEST_F(BackupMangerTest, NormalRunWritesAnArchivePeersAccept)
{
    m_pSource->m_Files = {{MakeFile("a.txt", std::string(5000, 'a')), "home\\u\\a.txt"},
                          {MakeFile("empty", ""), "home\\u\\empty"},
                          {MakeFile("b.bin", "\x01\x02\x03"), "home\\u\\sub\\b.bin"}};
    Backup();
    const std::string out = g_ProjectData.GetOutputPath();
    EXPECT_EQ(m_recorder.EventValues(notify::kBackupDone).size(), 1u);
    EXPECT_TRUE(m_recorder.EventValues(notify::kBackupFailed).empty());
    // maindata.ini, treeobj.tdat, the source's catalogue and its three files.
    EXPECT_EQ(m_recorder.EventValues(notify::kFileCount), std::vector<std::intptr_t>{6});
    EXPECT_EQ(m_recorder.EventValues(notify::kFileNumber),
              (std::vector<std::intptr_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(m_engine.GetTotalFiles(), 4u);
    EXPECT_FALSE(m_engine.GetProgress().m_RunningEvent.IsSet());

    ASSERT_EQ(RunCommand("unzip -t '" + out + "'"), 0);
    const std::string names = m_dir / "names.txt";
    ASSERT_EQ(RunCommand("python3 -c \"import zipfile,sys; z=zipfile.ZipFile(sys.argv[1]); "
                         "assert z.testzip() is None; "
                         "open(sys.argv[2],'w').write('\\n'.join(z.namelist()))\" '" +
                         out + "' '" + names + "'"),
              0);
    const std::vector<std::string> listed = tbmtest::Lines(tbmtest::ReadFileBytes(names));
    for (const char* expected : {"maindata.ini", "treeobj.tdat", "Fake.tdat", "home/u/a.txt",
                                 "home/u/empty", "home/u/sub/b.bin"})
        EXPECT_NE(std::find(listed.begin(), listed.end(), expected), listed.end()) << expected;
    const std::string report = tbmtest::ReadFileBytes(CHtmlReport::GetBackupReportPath());
    EXPECT_NE(report.find(LoadResString(202)), std::string::npos);
}

// A file that is gone by the time the run reaches it: the run goes on, finishes, and
// counts it, so a caller can tell the backup lacks a chosen file.
TEST_F(BackupMangerTest, AFileGoneBeforeTheRunIsCountedAsAFailure)
{
    const std::string gone = MakeFile("gone.txt", "soon gone");
    m_pSource->m_Files = {{gone, "home\\u\\gone.txt"},
                          {MakeFile("kept.txt", "kept"), "home\\u\\kept.txt"}};
    m_engine.StartCollect(nullptr);
    ASSERT_EQ(m_engine.WaitCollect(), result::kSuccess);
    ASSERT_EQ(m_engine.WriteCatalogue(), 1);
    ASSERT_EQ(std::remove(gone.c_str()), 0);
    ASSERT_EQ(m_engine.StartBackup(&m_recorder), 0);
    m_engine.WaitForWorker();
    EXPECT_EQ(m_recorder.EventValues(notify::kBackupDone).size(), 1u);
    EXPECT_EQ(m_engine.GetAddFailures(), 1u);
    EXPECT_TRUE(ReportHas(CHtmlReport::EscapeHtml(FillInserts(LoadResString(205), {gone}))));
    EXPECT_EQ(RunCommand("unzip -t '" + g_ProjectData.GetOutputPath() + "'"), 0);

    // The next run starts counting afresh.
    MakeFile("gone.txt", "back");
    Backup();
    EXPECT_EQ(m_engine.GetAddFailures(), 0u);
}

TEST_F(BackupMangerTest, CatalogueListsTheCollectedSource)
{
    m_pSource->m_Files = {{MakeFile("a.txt", "x"), "a.txt"}};
    m_engine.StartCollect(&m_recorder);
    ASSERT_EQ(m_engine.WaitCollect(), result::kSuccess);
    ASSERT_EQ(m_engine.GetCatalogueList().GetSize(), 1u);
    EXPECT_EQ(m_engine.GetCatalogueList()[0]->m_strCatalogueFile, "Fake.tdat");
    EXPECT_EQ(m_engine.GetCatalogueList()[0]->m_dwKind, 4u);
    EXPECT_EQ(m_recorder.Texts(notify::kCollectDone).size(), 1u);
    // Scanning shows each file that was taken.
    const auto scanned = m_recorder.Texts(notify::kScanning);
    EXPECT_NE(std::find(scanned.begin(), scanned.end(), m_dir / "a.txt"), scanned.end());
    // Writing twice does not list the catalogue files twice.
    ASSERT_EQ(m_engine.WriteCatalogue(), 1);
    ASSERT_EQ(m_engine.WriteCatalogue(), 1);
    EXPECT_EQ(m_engine.GetItemCount(), 2u);
}

struct PromptCase
{
    const char* name;
    std::vector<int> answers;
    int expectResult;
    const char* expectLog;
};

class BackupMangerPromptTest : public BackupMangerTest,
                               public ::testing::WithParamInterface<PromptCase>
{
};

TEST_P(BackupMangerPromptTest, MissingFileAsksSkipRetryCancel)
{
    const PromptCase& c = GetParam();
    for (const int answer : c.answers)
        m_prompt.QueueAnswer(answer);
    const std::string missing = m_dir / "missing.txt";
    m_pSource->m_Files = {{missing, "missing.txt"}};
    m_engine.StartCollect(&m_recorder);
    EXPECT_EQ(m_engine.WaitCollect(), c.expectResult);
    EXPECT_EQ(m_prompt.Messages().size(), c.answers.size());
    ASSERT_FALSE(m_prompt.Messages().empty());
    EXPECT_NE(m_prompt.Messages()[0].text.find(missing), std::string::npos);
    EXPECT_EQ(m_prompt.Messages()[0].style & MB_BUTTONMASK, MB_SKIPRETRYCANCEL);
    const std::string& report = m_engine.GetReport().GetText();
    EXPECT_NE(report.find(c.expectLog), std::string::npos);
    EXPECT_NE(report.find("File : " + missing), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, BackupMangerPromptTest,
    ::testing::Values(PromptCase{"Skip", {IDSKIPFILE}, result::kSuccess, "Skip reading the file"},
                      PromptCase{"RetryThenSkip",
                                 {IDRETRYFILE, IDSKIPFILE},
                                 result::kSuccess,
                                 "Retry reading the file"},
                      PromptCase{"Cancel", {IDCANCEL}, result::kCancel, "Cancel the Backup"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BackupMangerTest, FixedSizePartsWriteVolumes)
{
    g_ProjectData.m_dwMedium = 2;
    g_ProjectData.m_dwPartSize = 70000;
    // Random data does not compress, so the parts must really be split.
    const std::string noise = backuptest::Noise(200000, 12345);
    m_pSource->m_Files = {{MakeFile("noise.bin", noise), "noise.bin"}};
    Backup();
    EXPECT_EQ(m_recorder.EventValues(notify::kBackupDone).size(), 1u);
    EXPECT_EQ(m_engine.GetOpenSettings().m_nOpenMode, CZipContainer::ArcCreateSpanned);
    EXPECT_EQ(m_engine.GetOpenSettings().m_nVolumeSize, 70000);
    struct stat st
    {
    };
    EXPECT_EQ(stat((m_dir / "out.000").c_str(), &st), 0);
}

TEST_F(BackupMangerTest, RefusedPasswordEndsWithFailure)
{
    g_ProjectData.SetPassword("p\xC3\xA4ss");
    m_pSource->m_Files = {{MakeFile("a.txt", "x"), "a.txt"}};
    Backup();
    EXPECT_EQ(m_recorder.EventValues(notify::kBackupFailed).size(), 1u);
    EXPECT_TRUE(m_recorder.EventValues(notify::kBackupDone).empty());
    EXPECT_NE(m_engine.GetReport().GetText().find(CHtmlReport::EscapeHtml(LoadResString(201))),
              std::string::npos);
    EXPECT_FALSE(m_engine.GetProgress().m_RunningEvent.IsSet());
}

// The method every ZIP tool reads: Info-ZIP's unzip takes no AES.
TEST_F(BackupMangerTest, TraditionalEncryptionOpensInEveryZipTool)
{
    g_ProjectData.SetPassword("secret");
    ASSERT_TRUE(g_ProjectData.SetEncryption(CProjectData::kEncryptTraditional));
    m_pSource->m_Files = {{MakeFile("a.txt", std::string(3000, 'z')), "a.txt"}};
    Backup();
    const std::string out = g_ProjectData.GetOutputPath();
    EXPECT_EQ(EntryEncryptions(out), std::set<std::string>{"traditional"});
    EXPECT_EQ(RunCommand("unzip -t -P secret '" + out + "'"), 0);
    EXPECT_NE(RunCommand("unzip -t -P wrong '" + out + "'"), 0);
}

// A job given a password and no method writes AES-256 (WinZip's form), which 7-Zip
// opens with the password only, and the verification run reads back.
TEST_F(BackupMangerTest, JobWithAPasswordWritesAes256ThatPeersAndVerificationRead)
{
    g_ProjectData.SetPassword("secret");
    m_pSource->m_Files = {{MakeFile("a.txt", std::string(3000, 'z')), "a.txt"},
                          {MakeFile("empty", ""), "empty"}};
    Backup();
    const std::string out = g_ProjectData.GetOutputPath();
    ASSERT_EQ(m_recorder.EventValues(notify::kBackupDone).size(), 1u);
    EXPECT_EQ(EntryEncryptions(out), std::set<std::string>{"aes256"});
    EXPECT_EQ(RunCommand("7zz t -psecret '" + out + "'"), 0);
    EXPECT_NE(RunCommand("7zz t -pwrong '" + out + "'"), 0);
    RunVerify();
    EXPECT_EQ(m_recorder.EventValues(notify::kVerifyPassed).size(), 1u);
}

TEST_F(BackupMangerTest, CancelledRunLeavesAReadableArchive)
{
    std::vector<std::pair<std::string, std::string>> files;
    for (int i = 0; i < 20; ++i)
        files.push_back(
            {MakeFile("f" + std::to_string(i), std::string(100000, 'q')), "f" + std::to_string(i)});
    m_pSource->m_Files = files;
    m_engine.StartCollect(nullptr);
    ASSERT_EQ(m_engine.WaitCollect(), result::kSuccess);
    ASSERT_EQ(m_engine.WriteCatalogue(), 1);
    // A cancel at once after the start, before the run's thread has done anything,
    // ends the run: it used to be cleared when the run began and the run went on.
    ASSERT_EQ(m_engine.StartBackup(&m_recorder), 0);
    m_engine.RequestCancel();
    m_engine.WaitForWorker();
    EXPECT_FALSE(m_engine.GetProgress().m_RunningEvent.IsSet());
    EXPECT_TRUE(m_recorder.EventValues(notify::kBackupDone).empty());
    EXPECT_EQ(m_recorder.EventValues(notify::kBackupFailed).size(), 1u);
    // Nothing was added before the cancel: the incomplete backup is readable.
    EXPECT_EQ(m_engine.GetLastRun().kind, RunEnding::kCancelledIncomplete);
    EXPECT_EQ(RunCommand("python3 -m zipfile -t '" + g_ProjectData.GetOutputPath() + "'"), 0);
}

} // namespace
