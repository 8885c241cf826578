// Jobs: new, rename, load, delete, list, and the output path rules.
#include "EngineTest.h"
#include "ScriptedPrompt.h"

#include "Prompt.h"
#include "WholeFile.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace enginetest;

namespace {

class ProjectDataJobTest : public EngineTest
{
protected:
    static std::string AppData() { return CEngineFolders::GetAppDataFolder(); }
    static std::string OutputFolder() { return CEngineFolders::GetDefaultOutputFolder(); }
    static std::string JobFile(const std::string& name)
    {
        return AppData() + "/" + name + "/ProjectData.xdat";
    }
    static std::vector<std::string> Texts(const tbmtest::CScriptedPrompt& prompt)
    {
        std::vector<std::string> texts;
        for (const auto& message : prompt.Messages())
            texts.push_back(message.text);
        return texts;
    }
};

TEST_F(ProjectDataJobTest, NewJobCreatesMyBackupsAndTakesItsDefaults)
{
    ASSERT_EQ(0, ModeOf(OutputFolder()));
    g_ProjectData.NewJob();
    EXPECT_NE(0, ModeOf(OutputFolder()));
    EXPECT_EQ("My Backup", g_ProjectData.GetJobName());
    EXPECT_EQ("03/05/2024", g_ProjectData.GetCreationDate());
    EXPECT_EQ("02:07 PM", g_ProjectData.GetCreationTime());
    EXPECT_EQ(static_cast<std::uint32_t>(kFixedNow), g_ProjectData.m_dwTimeStamp);
    EXPECT_EQ("Backup created on 03/05/2024 at 02:07 PM", g_ProjectData.GetDescription());
    EXPECT_EQ(OutputFolder() + "/My Backup.tbm", g_ProjectData.GetOutputPath());
    EXPECT_EQ("My Backup.tbm", g_ProjectData.GetBackupFileName());
    EXPECT_EQ(1u, g_ProjectData.m_dwOptionFlag);
    EXPECT_EQ(6u, g_ProjectData.m_dwLevel);
    EXPECT_EQ("100 Mb", g_ProjectData.m_strPartSizeText);
    EXPECT_EQ("600 Mb", g_ProjectData.m_strCdSizeText);
    EXPECT_EQ("", g_ProjectData.GetPassword());
    EXPECT_EQ("", g_ProjectData.GetWorkFolderPath());
}

TEST_F(ProjectDataJobTest, NewJobNameIsUniqueAmongSavedJobs)
{
    tbm::CreateFolderPath(AppData() + "/My Backup");
    tbm::CreateFolderPath(AppData() + "/my backup(1)");
    g_ProjectData.NewJob();
    EXPECT_EQ("My Backup(2)", g_ProjectData.GetJobName());
}

TEST_F(ProjectDataJobTest, RenameToTheSameNameWritesNothing)
{
    g_ProjectData.NewJob();
    EXPECT_EQ(1, g_ProjectData.RenameJob("My Backup"));
    EXPECT_EQ(1, g_ProjectData.RenameJob("  My Backup "));
    EXPECT_EQ(0, ModeOf(g_ProjectData.GetJobFolder()));
    EXPECT_TRUE(g_ProjectData.GetSavedJobNames().empty());
}

TEST_F(ProjectDataJobTest, RenameWithAFolderRenamesItAndSavesTheJobInIt)
{
    g_ProjectData.NewJob();
    ASSERT_TRUE(g_ProjectData.SaveJob());
    tbmtest::WriteFileBytes(g_ProjectData.GetPathInJobFolder("MainTree.xsel"), "sel");
    ASSERT_EQ(1, g_ProjectData.RenameJob(" Weekly "));
    EXPECT_EQ("Weekly", g_ProjectData.GetJobName());
    EXPECT_EQ(std::vector<std::string>({"Weekly"}), g_ProjectData.GetSavedJobNames());
    EXPECT_EQ("sel", tbmtest::ReadFileBytes(AppData() + "/Weekly/MainTree.xsel"));
    CProjectData saved;
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(TvReadWholeFile(JobFile("Weekly"), bytes));
    saved.FromBytes(bytes);
    EXPECT_EQ("Weekly", saved.GetJobName());
    // The backup file keeps its name; only the folder part follows.
    EXPECT_EQ(OutputFolder() + "/My Backup.tbm", saved.GetOutputPath());
}

TEST_F(ProjectDataJobTest, RenameWithoutAFolderChangesOnlyTheName)
{
    g_ProjectData.NewJob();
    g_ProjectData.m_strBackupFileName.clear();
    ASSERT_EQ(1, g_ProjectData.RenameJob("Daily"));
    EXPECT_EQ("Daily", g_ProjectData.GetJobName());
    EXPECT_EQ(OutputFolder() + "/Daily.tbm", g_ProjectData.GetOutputPath());
    EXPECT_TRUE(g_ProjectData.GetSavedJobNames().empty());
}

TEST_F(ProjectDataJobTest, RenameOntoAnotherJobIsRefusedAndThatJobIsKept)
{
    g_ProjectData.NewJob();
    ASSERT_TRUE(g_ProjectData.SaveJob());
    tbm::CreateFolderPath(AppData() + "/Other");
    tbmtest::WriteFileBytes(JobFile("Other"), "other job");
    tbmtest::CScriptedPrompt prompt;
    EXPECT_EQ(0, g_ProjectData.RenameJob("Other"));
    EXPECT_EQ("My Backup", g_ProjectData.GetJobName());
    EXPECT_EQ("other job", tbmtest::ReadFileBytes(JobFile("Other")));
    EXPECT_EQ(1u, prompt.Messages().size());
}

struct BadName
{
    const char* label;
    const char* name;
    unsigned text;
};

class RefusedNameTest : public ProjectDataJobTest, public ::testing::WithParamInterface<BadName>
{
};

TEST_P(RefusedNameTest, RenameAndBackupFileNameShowTheTextAndChangeNothing)
{
    g_ProjectData.NewJob();
    const std::string outputPath = g_ProjectData.GetOutputPath();
    tbmtest::CScriptedPrompt prompt;
    EXPECT_EQ(0, g_ProjectData.RenameJob(GetParam().name));
    EXPECT_EQ(0, g_ProjectData.SetBackupFileName(GetParam().name));
    EXPECT_EQ("My Backup", g_ProjectData.GetJobName());
    EXPECT_EQ(outputPath, g_ProjectData.GetOutputPath());
    const std::string text = LoadResString(GetParam().text);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(std::vector<std::string>({text, text}), Texts(prompt));
    EXPECT_EQ(MB_OK | MB_ICONERROR, prompt.Messages()[0].style);
}

INSTANTIATE_TEST_SUITE_P(
    Names, RefusedNameTest,
    ::testing::Values(BadName{"Empty", "", 187}, BadName{"Blanks", "   ", 187},
                      BadName{"Slash", "a/b", 159}, BadName{"Backslash", "a\\b", 159},
                      BadName{"Colon", "a:b", 159}, BadName{"Star", "*", 159},
                      BadName{"Question", "a?", 159}, BadName{"Angle", "<a>", 159},
                      BadName{"Pipe", "a|b", 159}, BadName{"Dot", ".", 159},
                      BadName{"DotDot", " .. ", 159}, BadName{"LineBreak", "a\nb", 159}),
    [](const auto& info) { return std::string(info.param.label); });

struct FileNameCase
{
    const char* label;
    const char* name;
    const char* stored;
};

class BackupFileNameTest : public ProjectDataJobTest,
                           public ::testing::WithParamInterface<FileNameCase>
{
};

TEST_P(BackupFileNameTest, ExtensionIsAddedOnlyWhenThereIsNone)
{
    g_ProjectData.NewJob();
    ASSERT_EQ(1, g_ProjectData.SetBackupFileName(GetParam().name));
    EXPECT_EQ(GetParam().stored, g_ProjectData.GetBackupFileName());
    EXPECT_EQ(OutputFolder() + "/" + GetParam().stored, g_ProjectData.GetOutputPath());
}

INSTANTIATE_TEST_SUITE_P(Names, BackupFileNameTest,
                         ::testing::Values(FileNameCase{"Plain", "Photos", "Photos.tbm"},
                                           FileNameCase{"Trimmed", "  Photos  ", "Photos.tbm"},
                                           FileNameCase{"OwnExtension", "photos.zip", "photos.zip"},
                                           FileNameCase{"TbmAlready", "p.tbm", "p.tbm"},
                                           FileNameCase{"DotInside", "v1.5 backup", "v1.5 backup"},
                                           FileNameCase{"LeadingDotOnly", ".hidden",
                                                        ".hidden.tbm"}),
                         [](const auto& info) { return std::string(info.param.label); });

struct MediumCase
{
    const char* label;
    std::uint32_t medium;
    const char* removable;
    const char* cd;
    const char* folder; // empty: the default output folder
};

class MediumFolderTest : public ProjectDataJobTest, public ::testing::WithParamInterface<MediumCase>
{
};

TEST_P(MediumFolderTest, OutputFolderFollowsTheMedium)
{
    g_ProjectData.NewJob();
    g_ProjectData.SetRemovableFolder(GetParam().removable);
    g_ProjectData.SetCdFolder(GetParam().cd);
    g_ProjectData.SetMedium(GetParam().medium);
    const std::string folder = *GetParam().folder ? GetParam().folder : OutputFolder();
    EXPECT_EQ(folder, g_ProjectData.GetOutputFolderByMedium());
    EXPECT_EQ(folder + "/My Backup.tbm", g_ProjectData.GetOutputPath());
}

INSTANTIATE_TEST_SUITE_P(
    Media, MediumFolderTest,
    ::testing::Values(MediumCase{"Disk", 0, "/media/u/STICK", "/media/cd", ""},
                      MediumCase{"Removable", 1, "/media/u/STICK", "/media/cd", "/media/u/STICK"},
                      MediumCase{"RemovableWithoutRootFallsBack", 1, "", "/media/cd", ""},
                      MediumCase{"Parts", 2, "/media/u/STICK", "/media/cd", ""},
                      MediumCase{"Cd", 3, "/media/u/STICK", "/media/cd", "/media/cd"},
                      MediumCase{"CdWithoutRootFallsBack", 3, "/media/u/STICK", "", ""},
                      MediumCase{"Unknown", 9, "/media/u/STICK", "/media/cd", ""}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(ProjectDataJobTest, DefaultOutputFolderChangesOnlyForANewPath)
{
    g_ProjectData.NewJob();
    EXPECT_EQ(1, g_ProjectData.SetDefaultOutputFolder(""));
    EXPECT_EQ(OutputFolder(), g_ProjectData.GetDefaultOutputFolder());
    EXPECT_EQ(1, g_ProjectData.SetDefaultOutputFolder("/srv/backups/"));
    EXPECT_EQ("/srv/backups/My Backup.tbm", g_ProjectData.GetOutputPath());
}

TEST_F(ProjectDataJobTest, LoadingAnUnknownNameMakesANewJob)
{
    g_ProjectData.NewJob();
    g_ProjectData.SetDescription("changed");
    g_ProjectData.SetPassword("pw");
    EXPECT_EQ(1, g_ProjectData.LoadJob("Nobody"));
    EXPECT_EQ("My Backup", g_ProjectData.GetJobName());
    EXPECT_EQ("Backup created on 03/05/2024 at 02:07 PM", g_ProjectData.GetDescription());
    EXPECT_EQ("", g_ProjectData.GetPassword());
}

TEST_F(ProjectDataJobTest, LoadingTheCurrentNameChangesNothing)
{
    g_ProjectData.NewJob();
    g_ProjectData.SetDescription("kept");
    EXPECT_EQ(1, g_ProjectData.LoadJob("My Backup"));
    EXPECT_EQ("kept", g_ProjectData.GetDescription());
}

TEST_F(ProjectDataJobTest, SavedJobLoadsBack)
{
    g_ProjectData.NewJob();
    g_ProjectData.SetDescription("Saved one");
    g_ProjectData.m_dwBackupType = 2;
    g_ProjectData.m_IncludeList = {"*.doc"};
    ASSERT_TRUE(g_ProjectData.SaveJob());
    g_ProjectData = CProjectData();
    ASSERT_EQ(1, g_ProjectData.LoadJob("My Backup"));
    EXPECT_EQ("Saved one", g_ProjectData.GetDescription());
    EXPECT_EQ(2u, g_ProjectData.GetBackupType());
    EXPECT_EQ(std::vector<std::string>({"*.doc"}), g_ProjectData.m_IncludeList);
    EXPECT_EQ(LoadResString(152), g_ProjectData.GetBackupTypeText());
}

TEST_F(ProjectDataJobTest, DamagedJobFileFailsToLoadAndLeavesTheJobAsItWas)
{
    tbm::CreateFolderPath(AppData() + "/Broken");
    tbmtest::WriteFileBytes(JobFile("Broken"), std::string("\x05"
                                                           "abc",
                                                           4));
    g_ProjectData.NewJob();
    g_ProjectData.SetDescription("current");
    EXPECT_EQ(0, g_ProjectData.LoadJob("Broken"));
    EXPECT_EQ("My Backup", g_ProjectData.GetJobName());
    EXPECT_EQ("current", g_ProjectData.GetDescription());
    tbm::CreateFolderPath(AppData() + "/Empty");
    EXPECT_EQ(0, g_ProjectData.LoadJob("Empty"));
}

TEST_F(ProjectDataJobTest, CopiedJobFolderIsLoadedUnderItsOwnName)
{
    g_ProjectData.NewJob();
    ASSERT_TRUE(g_ProjectData.SaveJob());
    tbm::CreateFolderPath(AppData() + "/Copy");
    tbmtest::WriteFileBytes(JobFile("Copy"), tbmtest::ReadFileBytes(JobFile("My Backup")));
    ASSERT_EQ(1, g_ProjectData.LoadJob("Copy"));
    EXPECT_EQ("Copy", g_ProjectData.GetJobName());
    EXPECT_EQ(AppData() + "/Copy", g_ProjectData.GetJobFolder());
}

TEST_F(ProjectDataJobTest, ListShowsTheNewJobEntryFirstAndSelectsTheCurrentJob)
{
    for (const char* name : {"B", "A"})
        tbm::CreateFolderPath(AppData() + "/" + name);
    tbmtest::WriteFileBytes(AppData() + "/Restore.html", "not a job");
    std::vector<std::string> entries;
    g_ProjectData.NewJob();
    EXPECT_EQ(0, g_ProjectData.ListJobs(entries));
    EXPECT_EQ(std::vector<std::string>({LoadResString(141), "A", "B"}), entries);
    // "B" holds no job file: the current job stays, and is not in the list.
    EXPECT_EQ(0, g_ProjectData.LoadJob("B"));
    EXPECT_EQ(0, g_ProjectData.ListJobs(entries));
}

TEST_F(ProjectDataJobTest, ListSelectsASavedCurrentJob)
{
    g_ProjectData.NewJob();
    ASSERT_TRUE(g_ProjectData.SaveJob());
    tbm::CreateFolderPath(AppData() + "/A");
    std::vector<std::string> entries;
    EXPECT_EQ(2, g_ProjectData.ListJobs(entries));
}

TEST_F(ProjectDataJobTest, DeleteRemovesTheJobFolderAndRefusesOtherNames)
{
    g_ProjectData.NewJob();
    ASSERT_TRUE(g_ProjectData.SaveJob());
    tbm::CreateFolderPath(g_ProjectData.GetPathInJobFolder("sub"));
    tbmtest::WriteFileBytes(AppData() + "/Restore.html", "report");
    for (const char* name : {"", ".", "..", "../Tovan Backup Manager", "Restore.html/x"})
        EXPECT_FALSE(g_ProjectData.DeleteJob(name)) << name;
    EXPECT_EQ("report", tbmtest::ReadFileBytes(AppData() + "/Restore.html"));
    EXPECT_TRUE(g_ProjectData.DeleteJob("My Backup"));
    EXPECT_TRUE(g_ProjectData.GetSavedJobNames().empty());
    EXPECT_FALSE(g_ProjectData.DeleteJob("My Backup"));
}

TEST_F(ProjectDataJobTest, DeletingALinkedJobFolderRemovesOnlyTheLink)
{
    const std::string outside = m_dir / "outside";
    tbm::CreateFolderPath(outside);
    tbmtest::WriteFileBytes(outside + "/keep.txt", "keep");
    ASSERT_EQ(0, symlink(outside.c_str(), (AppData() + "/Linked").c_str()));
    EXPECT_TRUE(g_ProjectData.DeleteJob("Linked"));
    EXPECT_EQ("keep", tbmtest::ReadFileBytes(outside + "/keep.txt"));
    EXPECT_EQ(0, ModeOf(AppData() + "/Linked"));
}

TEST_F(ProjectDataJobTest, RestoreSourceClearsThePassword)
{
    g_ProjectData.SetPassword("old");
    g_ProjectData.SetRestoreSourcePath("/media/u/b.tbm");
    EXPECT_EQ("", g_ProjectData.GetPassword());
    EXPECT_EQ("/media/u/b.tbm", g_ProjectData.GetRestoreSourcePath());
}

TEST_F(ProjectDataJobTest, FreeSpaceIsKnownEvenBeforeTheOutputFolderExists)
{
    g_ProjectData.NewJob();
    EXPECT_GT(g_ProjectData.GetOutputFreeSpace(), 0u);
    g_ProjectData.SetDefaultOutputFolder(m_dir / "not/yet/there");
    EXPECT_GT(g_ProjectData.GetOutputFreeSpace(), 0u);
}

} // namespace
