#pragma once

#include "MediumSubPage.h"

class QComboBox;

// Medium 2 (167): a backup in parts of a fixed size (title.000, title.001, ...) in a
// folder.
class CPartsMediumPage : public CMediumSubPage
{
    Q_OBJECT
public:
    static constexpr unsigned kDialogId = 167;
    CPartsMediumPage();
    void Load() override;
    bool Store() override;
    QComboBox* GetSizeBox() const { return m_size; }
    QLineEdit* GetFolderEdit() const { return m_folder; }

private:
    QComboBox* m_size;
    QLineEdit* m_folder;
};
