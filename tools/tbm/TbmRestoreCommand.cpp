#include "TbmRestoreCommand.h"

#include "TbmConsole.h"
#include "TbmExitCodes.h"
#include "TbmFiles.h"
#include "TbmInterrupt.h"
#include "TbmInterruptWatch.h"
#include "TbmOptions.h"
#include "TbmPassword.h"
#include "TbmRestoreProgress.h"
#include "TbmRestoreIdentities.h"
#include "TbmRestorePrompt.h"
#include "TbmRestoreSelection.h"

#include "BackupManger.h"
#include "FolderTools.h"
#include "HtmlReport.h"
#include "ItemKinds.h"
#include "ApplicationsData.h"
#include "DataSources.h"
#include "FontsData.h"
#include "ItemTag.h"
#include "MyFilesData.h"
#include "OEIdentities.h"
#include "TbmSourceNames.h"

#include "CheckStates.h"
#include "ProjectData.h"
#include "ResultCodes.h"

#include "CheckTreeModel.h"
#include "Preferences.h"
#include "ResourceLibrary.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

constexpr unsigned kTextMailProgramOpen = 219;

void Say(const std::string& text)
{
    CTbmConsole::Get().Write("tbm: " + text + "\n");
}

std::size_t TerminalColumns()
{
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

bool HasSection(const CBackupManger& engine, std::uint32_t kind)
{
    for (const CBackupTreeItem* item : engine.GetCatalogueList())
        if (item->m_dwKind == kind)
            return true;
    return false;
}

} // namespace

CTbmRestoreCommand::CTbmRestoreCommand(const CTbmOptions& options)
    : m_options(options), m_nSavedExisting(g_Preferences.m_nResFileType)
{
}

CTbmRestoreCommand::~CTbmRestoreCommand()
{
    // The choice of --existing is for this run; the preference in memory goes back.
    g_Preferences.m_nResFileType = m_nSavedExisting;
    if (!m_strWorkFolder.empty()) {
        tbm::DeleteFolderTree(m_strWorkFolder);
        ::rmdir(m_strWorkFolder.c_str());
    }
}

int CTbmRestoreCommand::Run()
{
    const std::string password = CTbmPassword::FromOptions(m_options);
    if (!m_options.m_strTarget.empty() && !CTbmFiles::EnsureFolder(m_options.m_strTarget)) {
        Say("cannot create the folder '" + m_options.m_strTarget + "'");
        return tbmexit::kFailed;
    }
    m_strWorkFolder = tbm::CreateTempFolder({});
    if (m_strWorkFolder.empty()) {
        Say("cannot make a work folder in the temporary folder");
        return tbmexit::kFailed;
    }
    // Opening a backup empties the work folder: it must be this run's own.
    g_ProjectData.SetWorkFolderPath(m_strWorkFolder);
    // Without --existing the user's own choice for files already in place holds.
    g_Preferences.Load();
    if (m_options.m_nExisting != CTbmOptions::kKeepExisting)
        g_Preferences.m_nResFileType = m_options.m_nExisting;

    CBackupManger engine;
    const InstalledSources sources = CDataSources::Install(engine);
    CMyFilesData* myFiles = sources.myFiles;
    const CTbmRestorePrompt prompt(password);
    int code = Open(engine);
    CCheckTreeModel tree;
    if (code == tbmexit::kSuccess) {
        // The sources report what they refuse while they load and plan.
        engine.GetReport().RestoreHeader();
        engine.BuildRestoreTree(&tree);
        code = LoadSources(engine);
    }
    if (code == tbmexit::kSuccess)
        code = ChooseSections(engine, tree, sources);
    if (code == tbmexit::kSuccess)
        code = Choose(*myFiles);
    if (code != tbmexit::kSuccess)
        return code;

    CTbmRestoreProgress progress(CTbmConsole::Get(), isatty(STDERR_FILENO) == 1, TerminalColumns());
    code = Start(engine, progress);
    // The tree's nodes point at the engine's tags; the engine forgets the tree first.
    if (code != tbmexit::kSuccess) {
        engine.BuildRestoreTree(nullptr);
        return code;
    }
    code = Finish(engine, progress);
    engine.BuildRestoreTree(nullptr);
    return code;
}

int CTbmRestoreCommand::Open(CBackupManger& engine)
{
    const std::string path = CTbmFiles::Absolute(m_options.m_strArchive);
    const int opened = engine.OpenBackup(path);
    if (opened == result::kBadPassword) {
        if (m_options.HasPasswordOption())
            Say("the password from " +
                (m_options.m_strPasswordFile.empty() ? m_options.m_strPasswordEnv
                                                     : "'" + m_options.m_strPasswordFile + "'") +
                " is not the backup's password");
        else
            Say("the backup is protected by a password: give it with --password-file or "
                "--password-env");
        return tbmexit::kFailed;
    }
    if (opened == result::kInvalidBackup) {
        Say("no such backup file: '" + m_options.m_strArchive + "'");
        return tbmexit::kFailed;
    }
    if (opened != result::kSuccess) {
        Say("'" + m_options.m_strArchive + "' cannot be read as a backup");
        return tbmexit::kFailed;
    }
    engine.Reset();
    engine.SetMode(1);
    if (!engine.ReadMainCatalogue()) {
        Say("'" + m_options.m_strArchive +
            "' holds no backup catalogue; use tbm extract for other archives");
        return tbmexit::kFailed;
    }
    return tbmexit::kSuccess;
}

int CTbmRestoreCommand::LoadSources(CBackupManger& engine)
{
    // A backup without any section has nothing for the command line to restore; the
    // start says so.
    if (engine.LoadSourcesForRestore() != result::kSuccess) {
        Say("the list of files in '" + m_options.m_strArchive + "' cannot be read");
        return tbmexit::kFailed;
    }
    return tbmexit::kSuccess;
}

bool CTbmRestoreCommand::Restores(std::uint32_t kind) const
{
    const std::vector<std::uint32_t>& named = m_options.m_Sources;
    if (named.empty())
        return CTbmSourceNames::NameOf(kind)[0] != '\0';
    return std::find(named.begin(), named.end(), kind) != named.end();
}

// Checks the sections to restore in the restore tree: every one the command line
// knows, or those --source names; within a section everything it holds.
int CTbmRestoreCommand::ChooseSections(CBackupManger& engine, CCheckTreeModel& tree,
                                       const InstalledSources& sources)
{
    for (const std::uint32_t kind : m_options.m_Sources)
        if (!HasSection(engine, kind)) {
            Say(std::string("the backup holds no ") + CTbmSourceNames::NameOf(kind));
            return tbmexit::kFailed;
        }
    for (TvTreeItem node = tree.GetRootItem(); node; node = tree.GetNextItemEx(node)) {
        const auto* tag = reinterpret_cast<const ItemTag*>(tree.GetItemData(node));
        if (tag && tree.GetItemCheckState(node) != tvcheck::kUnavailable)
            tree.SetItemCheckState(node, Restores(tag->kind) ? tvcheck::kChecked
                                                              : tvcheck::kUnchecked);
    }
    if (Restores(itemkind::kOEIdentity) && HasSection(engine, itemkind::kOEIdentity) &&
        !CTbmRestoreIdentities::Load(engine, *sources.identities))
        return tbmexit::kFailed;
    sources.fonts->GetList().CheckAll();
    sources.applications->GetTree().CheckAll();
    m_bMyFiles = Restores(itemkind::kMyFiles);
    return tbmexit::kSuccess;
}

int CTbmRestoreCommand::Choose(CMyFilesData& myFiles)
{
    if (!m_bMyFiles) {
        myFiles.GetTree().UnCheckAll();
        return tbmexit::kSuccess;
    }
    const std::size_t checked = CTbmRestoreSelection::Apply(myFiles, m_options.m_OnlyPatterns);
    if (checked == 0 && !m_options.m_OnlyPatterns.empty()) {
        Say("no file of the backup matches --only");
        return tbmexit::kFailed;
    }
    if (m_options.m_strTarget.empty()) {
        myFiles.SetRestoreLocation(0, {});
        return tbmexit::kSuccess;
    }
    std::string folder = CTbmFiles::Absolute(m_options.m_strTarget);
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    myFiles.SetRestoreLocation(m_options.m_bFlat ? 2 : 1, folder);
    return tbmexit::kSuccess;
}

int CTbmRestoreCommand::Start(CBackupManger& engine, CTbmRestoreProgress& progress)
{
    progress.SetPhase("Restoring");
    const int started = engine.StartRestore(&progress);
    if (started == result::kSuccess)
        return tbmexit::kSuccess;
    if (started == result::kNothingToRestore) {
        Say(m_options.m_Sources.empty() ? "nothing to restore: the backup holds no files to put back"
                                        : "nothing to restore: the sections named hold no files");
        return tbmexit::kFailed;
    }
    if (started == result::kRestoreCancel) {
        Say(LoadResString(kTextMailProgramOpen));
        return tbmexit::kCancelled;
    }
    if (started == result::kCancel) {
        if (CTbmInterrupt::IsRaised() || CTbmConsole::Get().IsInteractive())
            Say("restore cancelled; nothing was written");
        else
            Say("restore cancelled: the backup's files come from a drive or share this "
                "system does not have, and there is no terminal to ask for a folder in its "
                "place; give one with --to DIR");
        return tbmexit::kCancelled;
    }
    Say(std::string("the restore cannot start: ") + result::GetName(started) + ": " +
        result::GetDescription(started));
    return tbmexit::kFailed;
}

int CTbmRestoreCommand::Finish(CBackupManger& engine, CTbmRestoreProgress& progress)
{
    {
        CTbmInterruptWatch watch([&engine] {
            engine.GetProgress().m_StopEvent.Set();
            engine.GetProgress().m_CancelEvent.Set();
        });
        engine.WaitForWorker();
    }
    progress.Finish();
    int code = tbmexit::kSuccess;
    const std::size_t failures = engine.GetRestoreFailures();
    if (CTbmInterrupt::IsRaised()) {
        Say("restore cancelled; the files restored before are in place, none half written");
        code = tbmexit::kCancelled;
    } else if (!progress.IsDone()) {
        Say("the restore stopped before its end; the report tells why");
        code = tbmexit::kFailed;
    } else if (failures > 0) {
        // Entries missing from the backup and folders count too, so no "of" total.
        Say(std::to_string(failures) + (failures == 1 ? " entry" : " entries") +
            " could not be restored; the report names them");
        code = tbmexit::kFailed;
    } else {
        // Files already in place are kept or replaced by --existing; say which.
        const std::size_t restored = engine.GetRestoredEntries();
        const std::size_t total = progress.GetFileCount();
        std::string text = "restore finished: " + std::to_string(restored) + " files restored";
        if (total > restored)
            text += ", " + std::to_string(total - restored) + " kept as they were";
        Say(text);
    }
    const std::string report = CHtmlReport::GetRestoreReportPath();
    if (CTbmFiles::IsFile(report))
        std::printf("Report: %s\n", report.c_str());
    std::fflush(stdout);
    return code;
}
