#pragma once

// The restore tests' fixture: a backup archive built by the test (catalogue files and
// data entries with chosen contents and times), sources that return a fixed plan, a
// recorder that takes over the restore's heap headings, and a prompt that answers the
// password question from a script.
#include "BackupManger.h"
#include "EngineTest.h"
#include "MainCatalogue.h"
#include "NotifyRecorder.h"
#include "RestoreIdentity.h"
#include "RestoreNotify.h"
#include "ScriptedPrompt.h"

#include "CheckTreeModel.h"
#include "ZipContainer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace restoretest {

// One entry of a plan: where the stored entry goes.
struct PlanEntry
{
    PlanEntry(std::string name, std::string targetFolder, std::uint32_t entryKind,
              std::uint32_t bytes, std::string target = {})
        : entryName(std::move(name)), folder(std::move(targetFolder)), kind(entryKind), size(bytes),
          targetPath(std::move(target))
    {
    }

    std::string entryName;
    std::string folder;
    std::uint32_t kind = 0;
    std::uint32_t size = 0;
    std::string targetPath; // empty: folder + "/" + the entry's file name
};

inline std::string FileNameOf(const std::string& name)
{
    const std::size_t slash = name.find_last_of("/\\");
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

// Fills its restore plan with a fixed list, or answers a fixed planning result.
class CFakeRestoreSource : public CBackupMangerSource
{
public:
    CFakeRestoreSource() : CBackupMangerSource("Fake.tdat") {}
    std::vector<PlanEntry> m_Plan;
    int m_nPlanResult = 0;
    int m_nPlans = 0;

    int Collect(std::string& catalogueName) override
    {
        catalogueName.clear();
        return 0;
    }
    int PlanRestore() override { return FillPlan(*this, m_Plan, m_nPlanResult, m_nPlans); }

    static int FillPlan(CDataSource& source, const std::vector<PlanEntry>& plan, int planResult,
                        int& plans)
    {
        ++plans;
        source.GetRestorePlan().RemoveAll();
        for (const PlanEntry& entry : plan) {
            auto info = std::make_unique<CAddInfo>();
            info->m_strSourcePath = entry.folder;
            info->m_strEntryName = entry.entryName;
            info->m_dwKind = entry.kind;
            info->m_dwSize = entry.size;
            info->m_strTargetPath = entry.targetPath.empty()
                                        ? entry.folder + "/" + FileNameOf(entry.entryName)
                                        : entry.targetPath;
            source.GetRestorePlan().Add(std::move(info));
        }
        return planResult;
    }
};

class CFakeIdentity : public CRestoreIdentity
{
public:
    CFakeIdentity(std::string name, std::string targetGuid)
        : CRestoreIdentity("identity.tdat"), m_strName(std::move(name)),
          m_strTarget(std::move(targetGuid))
    {
    }
    std::vector<PlanEntry> m_Plan;
    int m_nPlans = 0;

    int PlanRestore() override { return CFakeRestoreSource::FillPlan(*this, m_Plan, 0, m_nPlans); }
    std::string GetIdentityName() const override { return m_strName; }
    std::string GetTargetGuid() const override { return m_strTarget; }

private:
    std::string m_strName;
    std::string m_strTarget;
};

// Records the restore's messages: takes over (and frees) the headings of code 4 and
// copies the target paths of code 5. `m_OnPost` runs on the posting thread, in step
// with the run, so a test can act at an exact point of it.
class CRestoreRecorder : public CNotifyRecorder
{
public:
    std::function<void(int code, const std::string& text)> m_OnPost;

    void post(unsigned message, std::uintptr_t first, std::intptr_t second) override
    {
        std::string text;
        if (message == notify::kEvent && first == notify::kRestoreSection && second != 0) {
            auto* heading = reinterpret_cast<std::string*>(second);
            text = *heading;
            delete heading;
            second = 0;
        } else if (message == notify::kEvent && first == notify::kRestorePath && second != 0) {
            text = reinterpret_cast<const char*>(second);
            second = 0;
        }
        if (message == notify::kEvent) {
            std::lock_guard lock(m_mutex);
            m_events.push_back({static_cast<int>(first), text});
        }
        CNotifyRecorder::post(message, first, second);
        if (m_OnPost && message == notify::kEvent)
            m_OnPost(static_cast<int>(first), text);
    }

    struct Event
    {
        int code;
        std::string text;
    };
    std::vector<Event> Events() const
    {
        std::lock_guard lock(m_mutex);
        return m_events;
    }
    std::vector<std::string> TextsOf(int code) const
    {
        std::vector<std::string> texts;
        for (const Event& event : Events())
            if (event.code == code)
                texts.push_back(event.text);
        return texts;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<Event> m_events;
};

// Answers the password questions from a queue; an empty queue gives up.
class CPasswordPrompt : public tbmtest::CScriptedPrompt
{
public:
    std::deque<std::string> m_Passwords;
    int m_nAsked = 0;

    bool AskPassword(const std::string& text, std::string& password) override
    {
        (void)text;
        ++m_nAsked;
        if (m_Passwords.empty())
            return false;
        password = m_Passwords.front();
        m_Passwords.pop_front();
        return true;
    }
};

// One stored data entry.
struct StoredFile
{
    std::string name;
    std::string content;
    std::time_t mtime = 0; // 0: leave the file's time as written
};

class RestoreTest : public enginetest::EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        m_Saved = {g_Preferences.m_nResFileType, g_Preferences.m_nR_O2_Rename,
                   g_Preferences.m_nR_Wab_Save};
        g_Preferences.m_nResFileType = 0;
        g_Preferences.m_nR_O2_Rename = 1;
        g_Preferences.m_nR_Wab_Save = 1;
        auto myFiles = std::make_unique<CFakeRestoreSource>();
        m_pMyFiles = myFiles.get();
        m_engine.SetMyFiles(std::move(myFiles));
        m_engine.SetMode(1);
        m_engine.GetReport().LoadTemplate(CHtmlReport::kRestoreTemplate);
        m_engine.GetReport().SetPlaceholder(CHtmlReport::kRestoreInfo);
        m_archive = m_dir / "backup.tbm";
        m_target = m_dir / "target";
        mkdir(m_target.c_str(), 0700);
    }

    void TearDown() override
    {
        m_engine.CancelAndWait();
        g_Preferences.m_nResFileType = m_Saved[0];
        g_Preferences.m_nR_O2_Rename = m_Saved[1];
        g_Preferences.m_nR_Wab_Save = m_Saved[2];
        EngineTest::TearDown();
    }

    // Writes the archive: "maindata.ini" (job `jobName`), "treeobj.tdat" with
    // `items` (unless `withTreeObj` is false) and the data entries.
    void BuildBackup(const std::vector<CBackupTreeItem>& items,
                     const std::vector<StoredFile>& files, const std::string& password = {},
                     bool withTreeObj = true)
    {
        const std::string staging = m_dir / "staging";
        mkdir(staging.c_str(), 0700);
        CProjectData job;
        job.m_strJobName = "Family photos";
        ASSERT_TRUE(CMainCatalogue::WriteMainData(staging + "/maindata.ini", job));
        CAutoObArray<CBackupTreeItem> list;
        for (const CBackupTreeItem& item : items)
            list.Add(std::make_unique<CBackupTreeItem>(item));
        ASSERT_TRUE(CMainCatalogue::WriteTreeObj(staging + "/treeobj.tdat", list));

        CZipContainer zip;
        zip.Open(m_archive, CZipContainer::ArcCreate);
        zip.SetPassword(password);
        Add(zip, staging + "/maindata.ini", "maindata.ini");
        if (withTreeObj)
            Add(zip, staging + "/treeobj.tdat", "treeobj.tdat");
        int n = 0;
        for (const StoredFile& file : files) {
            const std::string path = staging + "/data" + std::to_string(++n);
            tbmtest::WriteFileBytes(path, file.content);
            if (file.mtime != 0) {
                const utimbuf times{file.mtime, file.mtime};
                utime(path.c_str(), &times);
            }
            Add(zip, path, file.name);
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

    // Opens the archive, reads its catalogue and builds the tree.
    void OpenAndBuild()
    {
        ASSERT_EQ(m_engine.OpenBackup(m_archive), 0);
        ASSERT_EQ(m_engine.ReadMainCatalogue(), 1);
        m_engine.BuildRestoreTree(&m_tree);
    }

    // The tree node of a source kind (the first one).
    TvTreeItem NodeOfKind(std::uint32_t kind) const
    {
        for (TvTreeItem node = m_tree.GetRootItem(); node; node = m_tree.GetNextItemEx(node)) {
            const auto* tag = reinterpret_cast<const ItemTag*>(m_tree.GetItemData(node));
            if (tag && tag->kind == kind)
                return node;
        }
        return {};
    }

    void Check(std::uint32_t kind) { m_tree.CheckItem(NodeOfKind(kind), tvcheck::kCheck); }

    // Starts the restore and waits for its end; the start's result.
    int RunRestore()
    {
        const int started = m_engine.StartRestore(&m_recorder);
        m_engine.WaitForWorker();
        return started;
    }

    CFakeRestoreSource* AddSource(std::uint32_t kind)
    {
        auto source = std::make_unique<CFakeRestoreSource>();
        CFakeRestoreSource* raw = source.get();
        m_engine.SetSource(kind, std::move(source));
        return raw;
    }

    std::string Target(const std::string& name) const { return m_target + "/" + name; }

    CBackupManger m_engine;
    CFakeRestoreSource* m_pMyFiles = nullptr;
    CCheckTreeModel m_tree;
    CRestoreRecorder m_recorder;
    std::string m_archive;
    std::string m_target;
    std::vector<int> m_Saved;
};

} // namespace restoretest
