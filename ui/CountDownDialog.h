#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QTimer;

// The count-down before an unattended run: text 222 with the seconds left, a bar
// that steps once a second, and two ways out: "Start now" (accepted at once) and
// Cancel (rejected: no job runs). At the end of the count it accepts by itself.
class CCountDownDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kSeconds = 10;
    static constexpr int kStep = 100 / (kSeconds + 1);

    explicit CCountDownDialog(QWidget* parent = nullptr);

    int GetCount() const { return m_count; }
    // One second has passed.
    void Tick();

private:
    void ShowCount();

    QLabel* m_text;
    QProgressBar* m_bar;
    QTimer* m_timer;
    int m_count = kSeconds;
};
