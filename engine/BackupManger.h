#pragma once

#include "ArchiveOpenSettings.h"
#include "AutoObArray.h"
#include "BackupDiskCallback.h"
#include "BackupMangerFileCheck.h"
#include "BackupMangerSource.h"
#include "BackupProgress.h"
#include "BackupRun.h"
#include "BackupTreeItem.h"
#include "DataSource.h"
#include "HtmlReport.h"
#include "RestoreIdentity.h"
#include "RestoreRun.h"
#include "TvEvent.h"
#include "ZipContainer.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

class CCheckTreeModel;
class CNotify;

// The engine object, one per process: collects the selected sources, writes the
// catalogue and runs the backup on one worker thread that reports to a notify
// window. Its own item list holds the catalogue files "maindata.ini" and
// "treeobj.tdat".
//
// One thread uses the engine at a time: the collection thread while the collection
// window waits, the worker while the job page waits; the user interface talks to a
// running job only through the progress object's events.
class CBackupManger : public CDataSource
{
public:
    static constexpr std::uint32_t kWriteBuffer = ArchiveBuffers::kWrite;
    static constexpr std::uint32_t kGeneralBuffer = ArchiveBuffers::kGeneral;
    static constexpr std::uint32_t kSearchBuffer = ArchiveBuffers::kSearch;

    CBackupManger();
    ~CBackupManger() override;

    void Reset() override;
    void SetMode(int mode);

    // The My Files source (owned), always collected after the tree's sources.
    void SetMyFiles(std::unique_ptr<CBackupMangerSource> source);
    CBackupMangerSource* GetMyFiles() const { return m_pMyFiles.get(); }
    // The other data sources (owned), by the item kind of their tree node: 0 Outlook,
    // 1 Outlook Express (its identities), 13 favorites, 15 address book, 22 applications, 24 fonts.
    // A kind without a source gets no node in the backup or restore tree.
    void SetSource(std::uint32_t kind, std::unique_ptr<CBackupMangerSource> source);
    CBackupMangerSource* GetSource(std::uint32_t kind) const;

    // Asks every selected source for its files; a result code (7 cancel, 12 stop).
    int Collect();
    // Runs Collect on the collection thread; WaitCollect joins it and returns its
    // result. `notify` gets the scanning messages and, on 0, the collection-done one.
    void StartCollect(CNotify* notify);
    int WaitCollect();
    // Asks a running collection to stop and waits until it has.
    void CancelCollect();
    // Asks a running collection to stop and returns at once; its notify still gets
    // kCollectEnded, then WaitCollect joins it.
    void RequestCancelCollect() { m_ScanCancelEvent.Set(); }

    std::uint64_t GetTotalBytes() const { return m_qwTotalBytes; }
    std::uint32_t GetTotalFiles() const { return m_dwTotalFiles; }

    // "maindata.ini" and "treeobj.tdat" into the work folder and the item list; 1 or 0.
    int WriteCatalogue();

    // Starts the run the job's medium and backup type choose on the worker thread;
    // returns 0. `notify` (may be null) receives the progress and event messages.
    int StartBackup(CNotify* notify);
    // Waits until the worker has ended (without asking it to stop).
    void WaitForWorker();
    // Asks a running job to stop and waits until it has ended.
    void CancelAndWait();
    // Asks a running job to stop and returns at once; the window keeps running its
    // event loop (the job may still ask a question) until kWorkerEnded, then calls
    // WaitForWorker.
    void RequestCancel() { m_Progress.m_CancelEvent.Set(); }
    // Closes the archive.
    void Close();
    // Tests every entry of the job's output file on the worker thread; returns 0.
    // `notify` (may be null) receives the names tested and the verdict (16 or 17).
    int Verify(CNotify* notify);
    // Fills `tree` (may be null: nothing happens) with the root and one node per data
    // source that is present, then loads the job's saved check states. Returns 0.
    int BuildBackupTree(CCheckTreeModel* tree);

    // File check for the sources: 0, or the prompt's answer.
    int FileCheck(const std::string& path) { return m_FileCheck.CheckFile(path); }

    CHtmlReport& GetReport() { return m_Report; }
    CBackupProgress& GetProgress() { return m_Progress; }
    ArchiveOpenSettings& GetOpenSettings() { return m_Settings; }
    CTvEvent& GetScanCancelEvent() { return m_ScanCancelEvent; }
    const CAutoObArray<CBackupTreeItem>& GetCatalogueList() const { return m_CatalogueList; }

    // Restore (BackupMangerRestore*.cpp). Open backup: 0, 9 (no such file), 10 (not
    // a readable archive; the user was told), 11 (password refused, the user gave up).
    int OpenBackup(const std::string& path);
    // Extracts the named files from the archive root into `folder` (empty: the work
    // folder); names not in the archive are passed over. 0, 10 or 11.
    int ExtractCatalogueFiles(const std::vector<std::string>& names, const std::string& folder);
    // The root text ("ProjectName") and the catalogue list from the extracted
    // catalogue; 1, or 0 with an empty list.
    int ReadMainCatalogue();
    const std::string& GetRootText() const { return m_strRootText; }
    // Fills `tree` (kept, not owned) with the root and one node per source of the
    // catalogue; each node's item data is an ItemTag of the engine.
    void BuildRestoreTree(CCheckTreeModel* tree);
    // Has every source of the catalogue list (My Files among them) read its catalogue
    // from the backup; 0, or the first failure's result code (each failure has a
    // report line, and the other sources are still loaded).
    int LoadSourcesForRestore();
    CCheckTreeModel* GetRestoreTree() const { return m_pRestoreTree; }
    // Plans the checked sources and starts the restore run (CRestoreRun) on the worker
    // thread: 0, 13 (nothing to restore), 16 (a mail program stayed open) or a
    // source's planning result.
    int StartRestore(CNotify* notify);
    // Outlook Express identities of the backup being restored, by catalogue name.
    void SetRestoreIdentity(const std::string& catalogueName,
                            std::unique_ptr<CRestoreIdentity> identity);
    CRestoreIdentity* GetRestoreIdentity(const std::string& catalogueName) const;
    const std::vector<std::uint16_t>& GetRestoreSectionKinds() const { return m_RestoreKinds; }
    std::uint64_t GetRestoreTotalBytes() const { return m_qwRestoreTotal; }
    // Entries the started restore planned (files and folders), for the window to
    // show before the run reports any.
    std::uint32_t GetRestoreItemCount() const { return m_dwRestoreItems; }
    // Entries of the last restore that could not be put in place, the catalogue's
    // entries missing from the archive and folders whose mode or time could not be
    // set among them (each has a report line); files kept on purpose by the rules for
    // existing files are not counted.
    std::uint32_t GetRestoreFailures() const { return m_dwRestoreFailures; }
    // Files of the last restore that were put in place (folders are not counted).
    std::uint32_t GetRestoredEntries() const { return m_dwRestoredEntries; }
    // Files the last backup run could not add (each has a report line); a run with
    // failures still ends as finished, with the other files in the archive.
    std::uint32_t GetAddFailures() const
    {
        return static_cast<std::uint32_t>(m_LastRun.failedFiles.size());
    }
    // How the last backup run ended, and the files it could not add.
    const RunEnding& GetLastRun() const { return m_LastRun; }
    // Files the last Collect skipped because they could not be read (each has a
    // report line); they are not in the backup.
    const std::vector<std::string>& GetSkippedFiles() const { return m_FileCheck.GetSkipped(); }
    // Asked before Outlook (kind 0) or Outlook Express (kind 2) is restored: true when
    // the mail program is running and the user would not close it. None: never.
    using MailProgramOpenHook = std::function<bool(std::uint32_t kind)>;
    void SetMailProgramOpenHook(MailProgramOpenHook hook) { m_MailProgramOpen = std::move(hook); }
    // Imports a restored registry export (path, kind, backup GUID, target GUID); the
    // program installs the registry import here, since sources build on the engine.
    using RegistryImportHook = RestoreRunParts::RegistryImportHook;
    void SetRegistryImportHook(RegistryImportHook hook);

private:
    void ApplyMedium();
    void CloseArchive(bool afterFailedEntry);
    void InstallFileCheck(CDataSource& source);
    void JoinWorker();
    void StartWorker(std::function<void()> run);
    void AddTotals(const CDataSource& source);
    int CollectNode(const ItemTag& tag, const std::string& text);
    int CollectSource(std::uint32_t kind, CBackupMangerSource& source,
                      const std::string& displayName);
    int CollectMyFiles();

    // The worker (BackupMangerRun.cpp): the runs themselves are CBackupRun and
    // CUpdateRun.
    void GatherFiles();
    std::uint64_t StartRun();
    BackupRunParts RunParts();
    void NormalRun();
    void UpdateRun(bool synchronise);
    void PostEvent(int code, std::intptr_t value);
    void LogResource(unsigned id);
    void LogResource(unsigned id, const std::string& insert);

    // Verification (BackupMangerVerify.cpp, the run is CVerifyRun).
    void VerifyRun();

    // Backup tree (BackupMangerTree.cpp).
    void AddSourceNode(CCheckTreeModel& tree, TvTreeItem root, std::uint32_t kind, unsigned text);
    void AddIdentityNodes(CCheckTreeModel& tree, TvTreeItem root);

    CHtmlReport m_Report;
    CTvEvent m_ScanCancelEvent;
    CTvEvent m_ScanRunningEvent;
    CBackupProgress m_Progress;
    std::unique_ptr<CBackupMangerSource> m_pMyFiles;
    std::map<std::uint32_t, std::unique_ptr<CBackupMangerSource>> m_Sources;
    // What the last Collect visited: the sources whose files the run takes (kinds of
    // m_Sources) and the identities' data in collection order.
    std::vector<std::uint32_t> m_CollectedKinds;
    std::vector<CBackupMangerSource*> m_SelectedIdentities;
    CAutoObArray<CBackupTreeItem> m_CatalogueList;
    CZipContainer m_Archive;
    std::uint64_t m_qwTotalBytes = 0;
    std::uint32_t m_dwTotalFiles = 0;
    CNotify* m_pScanNotify = nullptr;
    ArchiveOpenSettings m_Settings;
    CBackupMangerFileCheck m_FileCheck;

    // The files of the running job; it owns what the sources handed over.
    CAutoObArray<CAddInfo> m_RunList;
    std::thread m_Worker;
    std::thread m_Collector;
    int m_nCollectResult = 0;
    CBackupDiskCallback m_DiskCallback;
    CCheckTreeModel* m_pBackupTree = nullptr;
    // Names of the entries being verified; code 15 points into it.
    std::vector<std::string> m_VerifyNames;

    // Restore (BackupMangerRestore*.cpp): opening, the tree and the planning; the run
    // itself is CRestoreRun.
    int OpenRestoreArchive(const std::string& path);
    int PlanSection(std::uint32_t kind, CBackupMangerSource* source, unsigned headingId);
    int PlanCheckedNode(TvTreeItem node);
    CBackupMangerSource* RestoreSourceOf(std::uint32_t kind) const;
    RestoreRunParts RestoreParts();

    std::string m_strRootText;
    CCheckTreeModel* m_pRestoreTree = nullptr;
    std::vector<std::unique_ptr<ItemTag>> m_RestoreTags;
    std::unordered_map<std::string, std::unique_ptr<CRestoreIdentity>> m_IdentityMap;
    std::vector<std::string> m_RestoreIdentities;
    std::vector<std::uint16_t> m_RestoreKinds;
    std::uint64_t m_qwRestoreTotal = 0;
    std::uint32_t m_dwRestoreItems = 0;
    std::uint32_t m_dwRestoreFailures = 0;
    std::uint32_t m_dwRestoredEntries = 0;
    RunEnding m_LastRun;
    MailProgramOpenHook m_MailProgramOpen;
    RegistryImportHook m_RegistryImport;
    // Every planned entry of the running restore: the paths posted with code 5 point
    // into it, so it lives until the next restore starts.
    CAutoObArray<CAddInfo> m_RestoreRunList;
};
