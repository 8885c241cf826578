#pragma once

#include "MediumSubPage.h"

class QCheckBox;
class QComboBox;

// Medium 3 (168): a backup for a CD or DVD, written into a folder the burning
// program takes it from; with spanning, in parts of the disc's size.
class CCdMediumPage : public CMediumSubPage
{
    Q_OBJECT
public:
    static constexpr unsigned kDialogId = 168;
    CCdMediumPage();
    void Load() override;
    bool Store() override;
    QCheckBox* GetSpanningBox() const { return m_spanning; }
    QComboBox* GetSizeBox() const { return m_size; }
    QLineEdit* GetFolderEdit() const { return m_folder; }

private:
    QComboBox* m_drive;
    QLineEdit* m_folder;
    QCheckBox* m_spanning;
    QComboBox* m_size;
};
