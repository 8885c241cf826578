#pragma once

#include "TvPageDlg.h"
#include "TvTreeItem.h"

class CFolderTree;
class CItemsTreeWnd;
class QListWidget;
class QListWidgetItem;
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

    CItemsTreeWnd* GetTree() const { return m_tree; }
    QListWidget* GetFileList() const { return m_files; }
    // Shows `folder` (absolute) in the tree, selected; its item, or null.
    TvTreeItem ShowFolder(const std::string& folder);

private:
    CFolderTree& Folders() const;
    void OpenAhead(TvTreeItem item);
    void ListFiles(TvTreeItem folder);
    void ShowCurrentFiles();
    void OnFileChanged(QListWidgetItem* file);
    void UpdateFolderState(TvTreeItem folder);
    void OnChecked(TvTreeItem item);

    CWizardContext& m_context;
    CItemsTreeWnd* m_tree;
    QListWidget* m_files;
    QPushButton* m_back;
    TvTreeItem m_listed{};
    bool m_listing = false;
};
