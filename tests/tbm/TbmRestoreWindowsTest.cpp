// A backup made on Windows names its files "C:\Docs\a.txt" or "\\server\share\x.txt".
// The command runs in this process so that the question about the missing drive can
// be answered from a script (the program itself has no terminal in the tests).
#include "TbmConsole.h"
#include "TbmExitCodes.h"
#include "TbmOptions.h"
#include "TbmPrompt.h"
#include "TbmRestoreCommand.h"

#include "BackupTreeItem.h"
#include "CatalogueFile.h"
#include "ItemKinds.h"
#include "MainCatalogue.h"
#include "MyFilesData.h"
#include "ProjectData.h"
#include "TempDir.h"
#include "ZipContainer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using tbmtest::ReadFileBytes;

// A terminal with scripted folder answers, or none.
class CFolderConsole : public CTbmConsole
{
public:
    bool m_bInteractive = true;
    std::deque<std::string> m_answers;
    std::string m_written;

    bool IsInteractive() const override { return m_bInteractive; }
    void Write(const std::string& text) override { m_written += text; }
    bool ReadLine(std::string& line, bool) override
    {
        if (m_answers.empty())
            return false;
        line = m_answers.front();
        m_answers.pop_front();
        return true;
    }
};

struct WindowsFile
{
    std::string stored;
    std::string content;
};

const std::vector<WindowsFile> kFiles{{"C:\\Docs\\a.txt", "alpha"},
                                      {"C:\\Docs\\Work\\b.txt", "beta"},
                                      {"\\\\server\\share\\x.txt", "xray"}};

class TbmRestoreWindowsTest : public tbmtest::TempDirTest
{
protected:
    void SetUp() override
    {
        m_prompt = std::make_unique<CTbmPrompt>(CTbmOptions::OnError::Ask, m_console);
        SetPrompt(m_prompt.get());
        m_archive = m_dir / "windows.tbm";
        BuildBackup();
    }
    void TearDown() override
    {
        SetPrompt(nullptr);
        g_ProjectData = CProjectData();
    }

    // The catalogue as the backup writes it, and one data entry per file.
    void BuildBackup()
    {
        const std::string staging = m_dir / "staging";
        fs::create_directories(staging);
        CProjectData job;
        job.m_strJobName = "Office";
        ASSERT_TRUE(CMainCatalogue::WriteMainData(staging + "/maindata.ini", job));
        CAutoObArray<CBackupTreeItem> items;
        items.Add(std::make_unique<CBackupTreeItem>(CMyFilesData::kCatalogueName, "",
                                                    itemkind::kMyFiles));
        ASSERT_TRUE(CMainCatalogue::WriteTreeObj(staging + "/treeobj.tdat", items));
        std::vector<std::unique_ptr<CAddInfo>> entries;
        for (const WindowsFile& file : kFiles) {
            auto info = std::make_unique<CAddInfo>(file.stored, CMyFilesData::kKind);
            info->m_strEntryName = CMyFilesData::GetEntryName(file.stored);
            info->m_strTreePath = CMyFilesData::GetTreePath(file.stored);
            info->m_dwSize = static_cast<std::uint32_t>(file.content.size());
            entries.push_back(std::move(info));
        }
        CObjectWriter writer;
        writer.WriteObjects(entries);
        ASSERT_TRUE(writer.SaveToFile(staging + "/" + CMyFilesData::kCatalogueName));

        CZipContainer zip;
        zip.Open(m_archive, CZipContainer::ArcCreate);
        for (const char* name : {"maindata.ini", "treeobj.tdat", CMyFilesData::kCatalogueName})
            Add(zip, staging + "/" + name, name);
        int n = 0;
        for (const WindowsFile& file : kFiles) {
            const std::string data = staging + "/data" + std::to_string(++n);
            tbmtest::WriteFileBytes(data, file.content);
            Add(zip, data, CMyFilesData::GetEntryName(file.stored));
        }
        zip.Close();
    }

    static void Add(CZipContainer& zip, const std::string& path, const std::string& name)
    {
        CZipAddInfo info;
        info.m_path = path;
        info.m_nameInArchive = name;
        info.m_fullPath = true;
        ASSERT_TRUE(zip.AddNewFile(info)) << name;
    }

    int Restore(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"restore", m_archive});
        return CTbmRestoreCommand(CTbmOptions::Parse(args)).Run();
    }

    std::size_t Questions() const
    {
        std::size_t count = 0;
        for (std::size_t at = m_console.m_written.find("Folder: "); at != std::string::npos;
             at = m_console.m_written.find("Folder: ", at + 1))
            ++count;
        return count;
    }

    CFolderConsole m_console;
    std::unique_ptr<CTbmPrompt> m_prompt;
    std::string m_archive;
};

TEST_F(TbmRestoreWindowsTest, ToAFolderKeepsTheStructureBelowTheDriveOrShare)
{
    const std::string to = m_dir / "to";
    ASSERT_EQ(Restore({"--to", to}), tbmexit::kSuccess);
    EXPECT_EQ(ReadFileBytes(to + "/Docs/a.txt"), "alpha");
    EXPECT_EQ(ReadFileBytes(to + "/Docs/Work/b.txt"), "beta");
    EXPECT_EQ(ReadFileBytes(to + "/x.txt"), "xray");
    EXPECT_EQ(Questions(), 0u);
}

TEST_F(TbmRestoreWindowsTest, FlatPutsThemAllInTheFolder)
{
    const std::string to = m_dir / "flat";
    ASSERT_EQ(Restore({"--to", to, "--flat"}), tbmexit::kSuccess);
    for (const char* name : {"a.txt", "b.txt", "x.txt"})
        EXPECT_TRUE(fs::is_regular_file(to + "/" + name)) << name;
    EXPECT_FALSE(fs::exists(to + "/Docs"));
}

TEST_F(TbmRestoreWindowsTest, OriginalPlaceAsksOncePerMissingRoot)
{
    const std::string drive = m_dir / "drive c";
    const std::string share = m_dir / "share";
    m_console.m_answers = {drive, share};
    ASSERT_EQ(Restore({}), tbmexit::kSuccess) << m_console.m_written;
    EXPECT_EQ(Questions(), 2u) << m_console.m_written;
    EXPECT_NE(m_console.m_written.find("C:\\"), std::string::npos);
    EXPECT_NE(m_console.m_written.find("\\\\server\\share"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(drive + "/Docs/a.txt"), "alpha");
    EXPECT_EQ(ReadFileBytes(drive + "/Docs/Work/b.txt"), "beta");
    EXPECT_EQ(ReadFileBytes(share + "/x.txt"), "xray");
}

TEST_F(TbmRestoreWindowsTest, OnlyTheMatchingFileAsksOnlyForItsRoot)
{
    const std::string share = m_dir / "share";
    m_console.m_answers = {share};
    ASSERT_EQ(Restore({"--only", "x.txt"}), tbmexit::kSuccess);
    EXPECT_EQ(Questions(), 1u);
    EXPECT_EQ(ReadFileBytes(share + "/x.txt"), "xray");
}

TEST_F(TbmRestoreWindowsTest, WithoutATerminalTheQuestionCancelsAndNothingIsWritten)
{
    m_console.m_bInteractive = false;
    EXPECT_EQ(Restore({}), tbmexit::kCancelled);
    // Nor does an ended input count as an answer.
    m_console.m_bInteractive = true;
    EXPECT_EQ(Restore({}), tbmexit::kCancelled);
    std::size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(m_dir.Path()))
        files += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 7u); // the archive and the staging files only
}

} // namespace
