#pragma once

// The fixture of the address book, favorites, fonts and applications tests: a home
// folder of the test's own (HOME and the XDG folders point into it, so the sources
// find their data there), a fresh job with a private work folder, and helpers to
// make the fixtures' files.
#include "SourcesFixture.h"

#include "AddInfo.h"
#include "AutoObArray.h"
#include "BackupManger.h"
#include "BackupTreeItem.h"
#include "DataSource.h"
#include "MainCatalogue.h"
#include "ProjectData.h"

#include "CheckTreeModel.h"

#include "FolderTools.h"
#include "Globals.h"
#include "ResourceLibrary.h"
#include "TempDir.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <memory>
#include <string>

class PersonalFixture : public SourcesFixture
{
protected:
    void SetUp() override
    {
        SourcesFixture::SetUp();
        for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"}) {
            const char* value = std::getenv(name);
            m_saved.emplace_back(name, value ? value : "");
        }
        UseHome(m_dir / "home");
        if (!TextResources().IsLoaded())
            TextResources().Load(g_Globals.GetProgramPath(kTextResFileName));
        g_ProjectData = CProjectData();
        m_work = tbm::CreateTempFolder({});
        g_ProjectData.SetWorkFolderPath(m_work);
    }

    void TearDown() override
    {
        tbm::DeleteFolderTree(m_work);
        rmdir(m_work.c_str());
        g_ProjectData = CProjectData();
        for (const auto& [name, value] : m_saved)
            setenv(name.c_str(), value.c_str(), 1);
        SourcesFixture::TearDown();
    }

    // Makes `home` the home folder, with its XDG folders in their default places.
    void UseHome(const std::string& home)
    {
        m_home = home;
        tbm::CreateFolderPath(home + "/.cache", 0700);
        setenv("HOME", home.c_str(), 1);
        setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
        setenv("XDG_CACHE_HOME", (home + "/.cache").c_str(), 1);
    }

    // Writes the file, making its folders.
    static void Put(const std::string& path, const std::string& bytes)
    {
        tbm::CreateFolderPath(path.substr(0, path.rfind('/')), 0700);
        tbmtest::WriteFileBytes(path, bytes);
    }

    // Runs a Python script (written into `folder`); its exit status.
    static int Python(const std::string& script, const std::string& folder)
    {
        const std::string path = folder + "/check.py";
        tbmtest::WriteFileBytes(path, script);
        const int status = std::system(("python3 " + path).c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // An entry of a crafted catalogue: a made-up source file of 3 bytes.
    static void AddCrafted(CDataSource& writer, const std::string& name, std::uint32_t kind,
                           const std::string& treePath = {})
    {
        auto info = std::make_unique<CAddInfo>();
        info->m_strSourcePath = "/x";
        info->m_strEntryName = name;
        info->m_strTreePath = treePath;
        info->m_dwKind = kind;
        info->m_dwSize = 3;
        writer.GetItemList().Add(std::move(info));
    }

    // A backup made by Python's zipfile rather than by this program: the main
    // catalogue, one source's catalogue `catalogue` (tree kind `kind`, listing what
    // `writer` holds) and the entries the Python lines `entries` write into `z`.
    std::string WriteCraftedBackup(CDataSource& writer, const std::string& catalogue,
                                   std::uint32_t kind, const std::string& entries)
    {
        const std::string parts = m_dir / "parts";
        tbm::CreateFolderPath(parts, 0700);
        EXPECT_EQ(1, writer.WriteCatalogueFile(parts + "/" + catalogue));
        CAutoObArray<CBackupTreeItem> list;
        list.Add(std::make_unique<CBackupTreeItem>(catalogue, "", kind));
        g_ProjectData.NewJob();
        EXPECT_TRUE(CMainCatalogue::WriteMainData(parts + "/maindata.ini", g_ProjectData));
        EXPECT_TRUE(CMainCatalogue::WriteTreeObj(parts + "/treeobj.tdat", list));
        const std::string backup = m_dir / "crafted.tbm";
        const std::string build = "import zipfile, os\n"
                                  "z = zipfile.ZipFile('" + backup + "', 'w')\n"
                                  "for n in ['maindata.ini', 'treeobj.tdat', '" + catalogue + "']:\n"
                                  "    z.write(os.path.join('" + parts + "', n), n)\n" +
                                  entries + "z.close()\n";
        EXPECT_EQ(0, Python(build, m_dir.Str()));
        return backup;
    }

    // Checks every node of a source in the tree (not the root or the group nodes).
    static void CheckSources(CCheckTreeModel& tree)
    {
        for (TvTreeItem node = tree.GetRootItem(); node; node = tree.GetNextItemEx(node))
            if (tree.GetItemData(node) && tree.GetItemCheckState(node) != tvcheck::kUnavailable)
                tree.SetItemCheckState(node, tvcheck::kChecked);
    }

    // Opens the backup as the restore wizard does: the catalogue read, the restore
    // tree built and every source's part loaded.
    static void OpenForRestore(CBackupManger& engine, CCheckTreeModel& tree, const std::string& backup)
    {
        EXPECT_EQ(0, engine.OpenBackup(backup));
        engine.GetReport().RestoreHeader();
        engine.Reset();
        engine.SetMode(1);
        EXPECT_EQ(1, engine.ReadMainCatalogue());
        engine.BuildRestoreTree(&tree);
        EXPECT_EQ(0, engine.LoadSourcesForRestore());
    }

    std::string Data(const std::string& below) const { return m_home + "/.local/share/" + below; }
    std::string Config(const std::string& below) const { return m_home + "/.config/" + below; }

    std::string m_home;
    std::string m_work;

private:
    std::vector<std::pair<std::string, std::string>> m_saved;
};
