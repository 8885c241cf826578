#pragma once

#include "HtmlDialog.h"

class QCheckBox;

// Advice on backing up to a CD or DVD (dialog 244), shown when the user picks that
// medium. Its check box is the preference "ShowCDRW": OK stores it.
class CCdrwInfoDlg : public CHtmlDialog
{
    Q_OBJECT
public:
    static constexpr unsigned kDialogId = 244;

    explicit CCdrwInfoDlg(QWidget* parent = nullptr);

    QCheckBox* GetShowAgainBox() const { return m_showAgain; }
    void accept() override;

private:
    QCheckBox* m_showAgain;
};
