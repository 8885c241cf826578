#include "TbmStartup.h"

#include "BackupCommandLineInfo.h"
#include "BackupManger.h"
#include "DataSources.h"
#include "FileArgument.h"
#include "FolderTools.h"
#include "Globals.h"
#include "HtmlServices.h"
#include "MainWindow.h"
#include "Preferences.h"
#include "ProjectData.h"
#include "QtPrompt.h"
#include "ResourceLibrary.h"
#include "RunOptions.h"
#include "StartPage.h"
#include "StatusLogStartup.h"
#include "UiDialogs.h"
#include "WriteLog.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Said before the text library is loaded, so it cannot come from there.
const char* const kPreferencesFailed =
    "Your TBManager settings could not be read, so the program cannot start.\nPlease try again.";

bool HasDisplay()
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && (std::string(platform) == "offscreen" || std::string(platform) == "minimal"))
        return false;
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

// Start-up's failures: a box on a display, stderr without one (nobody would see a box).
void Fail(const std::string& text)
{
    WriteLog("%s", text.c_str());
    if (!HasDisplay()) {
        std::fprintf(stderr, "TBManager: %s\n", text.c_str());
        return;
    }
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Tovan Backup Manager"),
                    QString::fromStdString(text));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool LoadPreferences()
{
    g_Preferences.SetScreenSizeProvider([](int& width, int& height) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (!screen || !HasDisplay())
            return false;
        width = screen->geometry().width();
        height = screen->geometry().height();
        return true;
    });
    return g_Preferences.Load();
}

// The switches are read only when the arguments name no existing file.
void ReadCommandLine(int argc, char** argv)
{
    if (!g_FileArgument.HadArguments() || g_FileArgument.Resolve())
        return;
    CBackupCommandLineInfo info(std::vector<std::string>(argv, argv + argc));
    ParseCommandLine(info);
}

// A file named by the environment gets a picture of the window (documentation, and a
// look at the real window under a virtual display); the program then ends.
void GrabWhenAsked(CMainWindow& window)
{
    const char* target = std::getenv("TBM_GRAB_WINDOW");
    if (!target || !*target)
        return;
    const std::string path = target;
    QTimer::singleShot(1500, &window, [&window, path] {
        window.grab().save(QString::fromStdString(path));
        window.done(QDialog::Accepted);
    });
}

int RunWindow(const std::string& workFolder)
{
    CQtPrompt prompt;
    SetPrompt(&prompt);
    InstallHtmlServices();
    g_Globals.SetFolderPicker([](const std::string& title) {
        std::string folder;
        return CUiDialogs::AskFolder(nullptr, title, folder) ? folder : std::string();
    });
    g_ProjectData.SetWorkFolderPath(workFolder);
    int status = 0;
    {
        CBackupManger engine;
        const InstalledSources sources = CDataSources::Install(engine);
        CMainWindow window(engine, sources);
        window.show();
        if (!g_FileArgument.IsEmpty())
            window.GetStartPage()->OnBrowserEvent("restore", {}, {});
        GrabWhenAsked(window);
        window.exec();
        engine.WaitForWorker();
        status = 0;
    }
    SetPrompt(nullptr);
    return status;
}

} // namespace

int RunTbManager(int argc, char** argv)
{
    if (!HasDisplay())
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    // Qt has taken its own options out of argv by now.
    g_FileArgument.Take(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    if (!LoadPreferences()) {
        Fail(kPreferencesFailed);
        return 1;
    }
    g_Preferences.RegisterFileTypeAtStart();
    const std::string library = g_Globals.GetResourceLibraryPath();
    if (!TextResources().Load(library)) {
        Fail("Error missing Reource file " + library + "\nPlease re-install the Application");
        return 1;
    }
    if (::chdir(g_Globals.GetProgramFolder().c_str()) != 0)
        WriteLog("Fail to change the working folder to %s", g_Globals.GetProgramFolder().c_str());
    StartStatusLog(g_Globals.GetProgramFolder());
    ReadCommandLine(argc, argv);
    // This process's own work folder: another TBManager or tbm never empties it.
    const std::string workFolder = g_Globals.CreateTempFolder();
    if (workFolder.empty()) {
        Fail("The temporary folder cannot be used: no work folder could be made in it.");
        return 1;
    }
    const int status = RunWindow(workFolder);
    tbm::DeleteFolderTree(workFolder);
    ::rmdir(workFolder.c_str());
    g_Preferences.Save();
    return status;
}
