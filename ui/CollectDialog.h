#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
struct CWizardContext;

// The collection dialog (137): runs the collection thread, shows what it scans, then
// the selection's file count and size, and checks the size against the free space at
// the output folder. Results: 1 (OK: go on), 2 (cancelled, or nothing to back up),
// 202 (not enough room).
class CCollectDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr unsigned kDialogId = 137;
    static constexpr int kGoOn = 1;
    static constexpr int kNothing = 2;
    static constexpr int kNoRoom = 202;

    explicit CCollectDialog(CWizardContext& context, QWidget* parent = nullptr);

    // Starts the collection as the dialog opens.
    int exec() override;
    // Runs the collection to its end without showing the dialog (a test's view of the
    // dialog, or an unattended run); 0 while the user still has to press OK.
    int Collect();
    QPushButton* GetOkButton() const { return m_ok; }
    QLabel* GetStatus() const { return m_status; }

private:
    void Start();
    void OnEnded(int result);
    int Judge();
    void OnCancel();

    CWizardContext& m_context;
    QLabel* m_count;
    QLabel* m_size;
    QLabel* m_status;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    int m_outcome = 0;
    bool m_running = false;
};
