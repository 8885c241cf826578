#pragma once

#include "TvPageDlg.h"

class CFolderFilesPane;
class QButtonGroup;
class QLineEdit;
class QPushButton;
struct CWizardContext;

// Where My Files go (153): the My Files restore tree with the files of the selected
// folder, the restore location type ("ResLocationType": 0 the original places, 1 a
// folder keeping the structure, 2 a folder without it) with its folder
// ("ResLocation"), and the options dialog for files already in place. Type and folder
// go back to the preferences when the page is left.
class CRestoreLocationPage : public CTvPageDlg
{
    Q_OBJECT
public:
    static constexpr unsigned kDialogId = 153;
    static constexpr const char* kPickerTitle = "Select a Folder ";

    explicit CRestoreLocationPage(CWizardContext& context);

    void OnSetActive() override;
    bool OnKillActive() override;

    // Empties the tree before the catalogue its items point into goes.
    void Clear();
    // Hands the tree to the My Files source, which fills it from the backup.
    void Build();

    CFolderFilesPane* GetPane() const { return m_pane; }
    QButtonGroup* GetLocationTypes() const { return m_types; }
    QLineEdit* GetFolderEdit() const { return m_folder; }
    QPushButton* GetFolderButton() const { return m_pick; }
    QPushButton* GetOptionsButton() const { return m_options; }

private:
    void ShowFirstFiles();
    void ShowLocationType(int type);
    void PickFolder();
    void EditOptions();

    CWizardContext& m_context;
    CFolderFilesPane* m_pane;
    QButtonGroup* m_types;
    QLineEdit* m_folder;
    QPushButton* m_pick;
    QPushButton* m_options;
    QPushButton* m_back;
};
