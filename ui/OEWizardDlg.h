#pragma once

#include "HtmlDialog.h"

// The identity wizard (dialog 190), run after the user picked the identity to
// restore Outlook Express data into. Its pages answer with command links; the dialog
// ends with kUseIdentity (restore into the picked identity), kNewIdentity (make a new
// identity and import by hand) or Cancel.
class COEWizardDlg : public CHtmlDialog
{
    Q_OBJECT
public:
    static constexpr unsigned kDialogId = 190;
    static constexpr int kUseIdentity = 1;
    static constexpr int kNewIdentity = 1098;
    static constexpr int kCancel = 2;

    explicit COEWizardDlg(QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;

private:
    void OnCommand(const std::string& command);
};
