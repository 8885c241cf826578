#include "TbmStartup.h"

#include "BackupManger.h"
#include "DataSources.h"
#include "FileArgument.h"
#include "FolderTools.h"
#include "Globals.h"
#include "HtmlServices.h"
#include "MainWindow.h"
#include "PowerSupply.h"
#include "Preferences.h"
#include "ProgramStart.h"
#include "ProjectData.h"
#include "QtPrompt.h"
#include "RunOptions.h"
#include "StartPage.h"
#include "TvPropertiesPages.h"
#include "UiDialogs.h"
#include "UnattendedStart.h"
#include "WriteLog.h"

#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Start-up's failures: a box on a display, stderr without one (nobody would see a box).
void Fail(const std::string& text)
{
    WriteLog("%s", text.c_str());
    if (!CProgramStart::HasDisplay()) {
        std::fprintf(stderr, "TBManager: %s\n", text.c_str());
        return;
    }
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Tovan Backup Manager"),
                    QString::fromStdString(text));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void ProvideScreenSize()
{
    g_Preferences.SetScreenSizeProvider([](int& width, int& height) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (!screen || !CProgramStart::HasDisplay())
            return false;
        width = screen->geometry().width();
        height = screen->geometry().height();
        return true;
    });
}

// The picture also says in words what it shows: the page's dialog number and the
// texts of the labels in sight, one a line, for a reader that cannot look at it.
void DescribePicture(CMainWindow& window, QImage& picture)
{
    picture.setText(QStringLiteral("Page"),
                    QString::number(window.GetPages()->GetCurrentPageDlg()));
    QStringList texts;
    for (const QLabel* label : window.findChildren<QLabel*>())
        if (label->isVisible() && !label->text().isEmpty())
            texts << label->text();
    picture.setText(QStringLiteral("Texts"), texts.join(QLatin1Char('\n')));
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
        QImage picture = window.grab().toImage();
        DescribePicture(window, picture);
        picture.save(QString::fromStdString(path));
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
        CUnattendedStart* unattended = nullptr;
        if (g_bExecuteJob) {
            unattended = new CUnattendedStart(window);
            QTimer::singleShot(0, unattended, &CUnattendedStart::Begin);
        }
        window.exec();
        engine.WaitForWorker();
        status = unattended ? unattended->GetExitCode() : 0;
    }
    SetPrompt(nullptr);
    return status;
}

} // namespace

int RunTbManager(int argc, char** argv)
{
    if (!CProgramStart::HasDisplay())
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    // Qt has taken its own options out of argv by now.
    ProvideScreenSize();
    if (!CProgramStart::Begin(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc), Fail))
        return 1;
    // The schedule's "not on battery power", for the task forms that cannot say it.
    if (g_bExecuteJob && CPowerSupply::MustWaitForMains()) {
        WriteLog("%s", CPowerSupply::kHeldBack);
        return 0;
    }
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
