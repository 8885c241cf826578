#pragma once

#include "TvPageDlg.h"
#include "TvTreeItem.h"

#include <string>

class CFolderFilesPane;
class CFolderTree;
class CItemsTreeWnd;
class QListWidget;
class QPushButton;
struct CWizardContext;

// My Files (142): the folder tree of the file system beside the files of the selected
// folder. Folders are listed when they are first shown (one level ahead, so the tree
// knows which have subfolders); ticking a file changes its folder's state, which the
// tree shows as partly chosen.
class CMyFilesPage : public CTvPageDlg
{
    Q_OBJECT
public:
    static constexpr unsigned kDialogId = 142;

    explicit CMyFilesPage(CWizardContext& context);

    void OnSetActive() override;
    // Hands the tree to the My Files source and loads the job's selection.
    void Prepare();

    CItemsTreeWnd* GetTree() const;
    QListWidget* GetFileList() const;
    // Shows `folder` (absolute) in the tree, selected; its item, or null.
    TvTreeItem ShowFolder(const std::string& folder);

private:
    CFolderTree& Folders() const;

    CWizardContext& m_context;
    CFolderFilesPane* m_pane;
    QPushButton* m_back;
};
