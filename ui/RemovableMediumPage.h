#pragma once

#include "MediumSubPage.h"

class QComboBox;

// Medium 1 (166): a backup spread over removable disks; the drive is one of the
// mounted removable disks, or a folder typed in.
class CRemovableMediumPage : public CMediumSubPage
{
    Q_OBJECT
public:
    static constexpr unsigned kDialogId = 166;
    CRemovableMediumPage();
    void Load() override;
    bool Store() override;
    QComboBox* GetDriveBox() const { return m_drive; }

private:
    QComboBox* m_drive;
};
