#pragma once

#include "TvPageDlg.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
struct CWizardContext;

// Backup settings (135): the password (typed twice), its encryption, the compression
// level and the backup type. Update and synchronise need a backup file that can be
// read back whole, so media written in parts force a normal backup.
class CSettingsPage : public CTvPageDlg
{
    Q_OBJECT
public:
    static constexpr unsigned kDialogId = 135;

    explicit CSettingsPage(CWizardContext& context);

    void OnSetActive() override;
    bool OnKillActive() override;

    QCheckBox* GetPasswordBox() const { return m_usePassword; }
    QLineEdit* GetPasswordEdit() const { return m_password; }
    QLineEdit* GetConfirmEdit() const { return m_confirm; }
    QButtonGroup* GetTypeGroup() const { return m_type; }

private:
    void EnablePassword(bool on);

    CWizardContext& m_context;
    QCheckBox* m_usePassword;
    QLineEdit* m_password;
    QLineEdit* m_confirm;
    QComboBox* m_encryption;
    QComboBox* m_level;
    QButtonGroup* m_type;
};
