#pragma once

#include "MediumSubPage.h"

// Medium 0 (165): a backup file in a folder.
class CFolderMediumPage : public CMediumSubPage
{
    Q_OBJECT
public:
    static constexpr unsigned kDialogId = 165;
    CFolderMediumPage();
    void Load() override;
    bool Store() override;
    QLineEdit* GetFolderEdit() const { return m_folder; }

private:
    QLineEdit* m_folder;
};
