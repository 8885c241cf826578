#pragma once

#include <QDialog>

class QCheckBox;

// Asks before the program closes. Its check box is the preference "Quitb" (close
// without asking from now on), stored on OK.
class CExitDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CExitDialog(QWidget* parent = nullptr);

    QCheckBox* GetDontAskBox() const { return m_dontAsk; }
    void accept() override;

private:
    QCheckBox* m_dontAsk;
};
