#pragma once

#include "TvTreeItem.h"

#include <QWidget>

#include <functional>

class CCheckedTreeWnd;
class CFolderTree;
class CItemsTreeWnd;
class QListWidget;
class QListWidgetItem;

// A folder tree of My Files beside the files of the selected folder, ticked one by
// one. Ticking a folder ticks everything loaded below it; ticking a file changes its
// folder's state (shown as partly chosen) and that of the folders above.
class CFolderFilesPane : public QWidget
{
    Q_OBJECT
public:
    // `folders` gives the folder tree the source holds at the time of asking.
    CFolderFilesPane(std::function<CFolderTree&()> folders, QWidget* parent);

    CItemsTreeWnd* GetTree() const;
    QListWidget* GetFileList() const { return m_files; }
    // Forgets the listed folder and empties both views.
    void Clear();
    // Selects `item` and lists its files.
    void Select(TvTreeItem item);
    // Lists the selected folder again, with what was made or removed in it since.
    void ShowCurrentFiles();

private:
    CFolderTree& Folders() const { return m_folders(); }
    void OpenAhead(TvTreeItem item);
    void ListFiles(TvTreeItem folder);
    void OnFileChanged(QListWidgetItem* file);
    void UpdateFolderState(TvTreeItem folder);
    void OnChecked(TvTreeItem item);

    std::function<CFolderTree&()> m_folders;
    CCheckedTreeWnd* m_tree;
    QListWidget* m_files;
    TvTreeItem m_listed{};
    bool m_listing = false;
};
