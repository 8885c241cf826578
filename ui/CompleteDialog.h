#pragma once

#include <QDialog>

class QCheckBox;

// Shown when a backup has finished: OK verifies the new backup file. Its check box is
// the preference "BComplete" (show this dialog after every backup), stored on OK.
class CCompleteDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CCompleteDialog(QWidget* parent = nullptr);

    QCheckBox* GetShowAgainBox() const { return m_showAgain; }
    void accept() override;

private:
    QCheckBox* m_showAgain;
};
