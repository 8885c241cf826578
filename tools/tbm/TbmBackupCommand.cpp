#include "TbmBackupCommand.h"

#include "TbmConsole.h"
#include "TbmExitCodes.h"
#include "TbmFiles.h"
#include "TbmInterrupt.h"
#include "TbmInterruptWatch.h"
#include "TbmJobSetup.h"
#include "TbmOptions.h"
#include "TbmPassword.h"
#include "TbmProgress.h"
#include "TbmProgressText.h"
#include "TbmTerminalText.h"

#include "BackupManger.h"
#include "FolderTools.h"
#include "HtmlReport.h"
#include "ApplicationsData.h"
#include "DataSources.h"
#include "FontsData.h"
#include "ItemKinds.h"
#include "ItemTag.h"
#include "MyFilesData.h"
#include "TbmSourceNames.h"

#include "CheckStates.h"
#include "CheckTreeModel.h"
#include "ProjectData.h"
#include "ResultCodes.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

void Say(const std::string& text)
{
    CTbmConsole::Get().Write("tbm: " + text + "\n");
}

// ".000", ".001", ...: the names of a backup's parts.
std::string VolumeSuffix(int number)
{
    char suffix[8];
    std::snprintf(suffix, sizeof suffix, ".%03d", number);
    return suffix;
}

bool HasChecked(const CCheckTreeModel& tree)
{
    return static_cast<bool>(tree.GetFirstCheckedItem());
}

bool HasNode(const CCheckTreeModel& tree, std::uint32_t kind)
{
    for (TvTreeItem node = tree.GetRootItem(); node; node = tree.GetNextItemEx(node))
        if (const auto* tag = reinterpret_cast<const ItemTag*>(tree.GetItemData(node));
            tag && tag->kind == kind)
            return true;
    return false;
}

// The first few files a run could not add, then how many more the report names.
void SayFailedFiles(const std::vector<std::string>& files)
{
    constexpr std::size_t kShown = 10;
    for (std::size_t i = 0; i < files.size() && i < kShown; ++i)
        Say("could not back up " + CTbmTerminalText::Escape(files[i]));
    Say(std::to_string(files.size()) + " files could not be backed up; the report names them");
}

std::size_t TerminalColumns()
{
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

} // namespace

CTbmBackupCommand::CTbmBackupCommand(const CTbmOptions& options) : m_options(options) {}

CTbmBackupCommand::~CTbmBackupCommand()
{
    // The work folder is ours alone (two runs at once must not share catalogues).
    if (!m_strWorkFolder.empty()) {
        tbm::DeleteFolderTree(m_strWorkFolder);
        ::rmdir(m_strWorkFolder.c_str());
    }
}

int CTbmBackupCommand::Run()
{
    m_strPassword = CTbmPassword::FromOptions(m_options);
    const std::vector<std::string> selection = CTbmJobSetup::Prepare(m_options, m_strPassword);
    m_strWorkFolder = tbm::CreateTempFolder({});
    if (m_strWorkFolder.empty()) {
        Say("cannot make a work folder in the temporary folder");
        return tbmexit::kFailed;
    }
    g_ProjectData.SetWorkFolderPath(m_strWorkFolder);

    CCheckTreeModel tree;
    CBackupManger engine;
    const InstalledSources sources = CDataSources::Install(engine);
    engine.Reset();
    engine.SetMode(0);
    // The job's saved choice of sources (a job made in the window), unless the
    // command line names them.
    engine.BuildBackupTree(&tree);
    if (!m_options.m_Sources.empty())
        ChooseSources(tree, sources);
    if (!selection.empty()) {
        sources.myFiles->SetSelection(selection);
    } else if (!m_options.m_Sources.empty() && !Names(itemkind::kMyFiles)) {
        sources.myFiles->SetSelection({});
    } else if (!sources.myFiles->LoadSelection()) {
        Say("the job '" + g_ProjectData.GetJobName() +
            "' has no saved selection: name the files and folders to back up");
        return tbmexit::kUsage;
    }
    engine.GetReport().BackupHeader();

    CTbmProgress progress(CTbmConsole::Get(), isatty(STDERR_FILENO) == 1, TerminalColumns());
    CTbmInterruptWatch watch([&engine] {
        engine.GetScanCancelEvent().Set();
        engine.GetProgress().m_StopEvent.Set();
        engine.GetProgress().m_CancelEvent.Set();
    });
    Say("job '" + g_ProjectData.GetJobName() + "' (" + g_ProjectData.GetBackupTypeText() +
        ") into " + g_ProjectData.GetOutputPath());
    int code = Collect(engine, progress);
    if (code == tbmexit::kSuccess)
        code = Backup(engine, progress);
    if (code == tbmexit::kSuccess && m_options.m_bVerify)
        code = Verify(engine, progress);
    // The archive is whole and verified, but it lacks files the user chose.
    std::vector<std::string> missing = engine.GetSkippedFiles();
    const std::vector<std::string>& failed = engine.GetLastRun().failedFiles;
    missing.insert(missing.end(), failed.begin(), failed.end());
    if (code == tbmexit::kSuccess && !missing.empty()) {
        SayFailedFiles(missing);
        code = tbmexit::kFailed;
    }
    if (code != tbmexit::kUsage)
        TellWhere();
    return code;
}

bool CTbmBackupCommand::Names(std::uint32_t kind) const
{
    const std::vector<std::uint32_t>& named = m_options.m_Sources;
    return std::find(named.begin(), named.end(), kind) != named.end();
}

// Checks the tree nodes of the named sources and no others. A named source without
// a choice of its own (fonts, applications) takes everything it has.
void CTbmBackupCommand::ChooseSources(CCheckTreeModel& tree, const InstalledSources& sources)
{
    for (TvTreeItem node = tree.GetRootItem(); node; node = tree.GetNextItemEx(node)) {
        const auto* tag = reinterpret_cast<const ItemTag*>(tree.GetItemData(node));
        if (!tag || tag->kind == itemkind::kRoot || tree.GetItemCheckState(node) == tvcheck::kUnavailable)
            continue;
        tree.SetItemCheckState(node, Names(tag->kind) ? tvcheck::kChecked : tvcheck::kUnchecked);
    }
    for (const std::uint32_t kind : m_options.m_Sources)
        if (kind != itemkind::kMyFiles && !HasNode(tree, kind))
            Say(std::string("this system has no ") + CTbmSourceNames::NameOf(kind) +
                " to back up");
    if (Names(itemkind::kFonts)) {
        sources.fonts->Show();
        if (!HasChecked(sources.fonts->GetList()))
            sources.fonts->GetList().CheckAll();
    }
    if (Names(itemkind::kApplications)) {
        sources.applications->FillTree();
        if (!HasChecked(sources.applications->GetTree()))
            sources.applications->GetTree().CheckAll();
    }
}

int CTbmBackupCommand::Collect(CBackupManger& engine, CTbmProgress& progress)
{
    progress.SetPhase("Scanning");
    engine.StartCollect(&progress);
    const int result = engine.WaitCollect();
    progress.Finish();
    if (CTbmInterrupt::IsRaised() || result == result::kCancel || result == result::kAbortScan) {
        Say("backup cancelled while collecting the files; nothing was written");
        return tbmexit::kCancelled;
    }
    if (result != result::kSuccess) {
        Say(std::string("collecting the files failed: ") + result::GetName(result) + ": " +
            result::GetDescription(result));
        return tbmexit::kFailed;
    }
    Say(std::to_string(engine.GetTotalFiles()) + " files, " +
        CTbmProgressText::Bytes(engine.GetTotalBytes()) + " selected");
    if (!engine.WriteCatalogue()) {
        Say("the catalogue could not be written into the work folder");
        return tbmexit::kFailed;
    }
    return tbmexit::kSuccess;
}

int CTbmBackupCommand::Backup(CBackupManger& engine, CTbmProgress& progress)
{
    progress.SetPhase("Backing up");
    engine.StartBackup(&progress);
    engine.WaitForWorker();
    progress.Finish();
    const RunEnding& ending = engine.GetLastRun();
    if (ending.kind == RunEnding::kCancelledUnchanged) {
        Say("backup cancelled; the previous backup is unchanged");
        return tbmexit::kCancelled;
    }
    if (ending.kind == RunEnding::kCancelledIncomplete) {
        Say("backup cancelled; the backup file is incomplete: it holds only the files added "
            "before");
        return tbmexit::kCancelled;
    }
    if (progress.GetEndCode() != notify::kBackupDone) {
        Say("the backup failed; the report tells why");
        return CTbmInterrupt::IsRaised() ? tbmexit::kCancelled : tbmexit::kFailed;
    }
    if (g_ProjectData.GetBackupType() != 0)
        Say("new " + std::to_string(progress.GetCount(notify::kAddedCount)) + ", replaced " +
            std::to_string(progress.GetCount(notify::kReplacedCount)) + ", unchanged " +
            std::to_string(progress.GetCount(notify::kUnchangedCount)) + ", removed " +
            std::to_string(progress.GetCount(notify::kObsoleteCount)));
    Say(ending.kind == RunEnding::kUpToDate
            ? "backup finished: nothing changed, the backup file is left as it was"
            : "backup finished");
    return tbmexit::kSuccess;
}

int CTbmBackupCommand::Verify(CBackupManger& engine, CTbmProgress& progress)
{
    // The engine tests the job's output file and writes its lines into the report.
    progress.SetPhase("Verifying");
    engine.Verify(&progress);
    engine.WaitForWorker();
    progress.Finish();
    if (CTbmInterrupt::IsRaised()) {
        Say("verification cancelled");
        return tbmexit::kCancelled;
    }
    if (progress.IsArchiveUnreadable()) {
        Say("verification failed: the backup file cannot be read");
        return tbmexit::kFailed;
    }
    if (progress.GetEndCode() != notify::kVerifyPassed) {
        Say("verification failed: " + std::to_string(progress.GetFailedCount()) +
            " entries are damaged or unreadable");
        return tbmexit::kFailed;
    }
    Say("verification passed");
    return tbmexit::kSuccess;
}

void CTbmBackupCommand::TellWhere() const
{
    const std::string& output = g_ProjectData.GetOutputPath();
    if (CTbmFiles::IsFile(output))
        std::printf("Backup: %s\n", output.c_str());
    // A backup in parts keeps its first parts beside the last one, title.000 on.
    const std::string title = output.substr(0, output.rfind('.'));
    int parts = 0;
    while (parts < 1000 && CTbmFiles::IsFile(title + VolumeSuffix(parts)))
        ++parts;
    if (parts > 0)
        std::printf("Parts:  %s%s ... %s%s, then %s\n", title.c_str(), VolumeSuffix(0).c_str(),
                    title.c_str(), VolumeSuffix(parts - 1).c_str(), output.c_str());
    const std::string report = CHtmlReport::GetBackupReportPath();
    if (CTbmFiles::IsFile(report))
        std::printf("Report: %s\n", report.c_str());
    std::fflush(stdout);
}
