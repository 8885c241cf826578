#pragma once

#include <QObject>
#include <QTimer>

class CMainWindow;

// An unattended run ("-e -job NAME") in the window: the count-down unless "-quick",
// the saved job chosen, the backup pages walked to the run page (which starts the
// backup and applies the end rules), and the exit code a script reads, as tbm's:
// 0 done (and verified when asked), 1 failed, 3 cancelled. SIGINT and SIGTERM stop
// the job, wait for the archive to close and end the program.
class CUnattendedStart : public QObject
{
    Q_OBJECT
public:
    explicit CUnattendedStart(CMainWindow& window);

    // Starts once the window's event loop runs.
    void Begin();
    int GetExitCode() const { return m_exitCode; }

private:
    // False (with a message) when the named job cannot be run.
    bool ChooseJob();
    void WalkPages();
    void OnRunEnded(int code);
    void OnWatch();
    void End(int code);

    CMainWindow& m_window;
    QTimer m_watch;
    int m_exitCode;
    bool m_bStopping = false;
};
