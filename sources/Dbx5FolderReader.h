#pragma once

#include "Dbx5Folder.h"
#include "Dbx5StoreFolder.h"
#include "TvTreeItem.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CCheckTreeModel;
class CDataSource;
class CDbx5FolderNesting;
class CDbx5InputFile;

// Reads the folder index of an Outlook Express 5/6 mail store ("Folders.dbx") into a
// list of folder records and shows them as a tree of mail folders. It reads nothing
// else of the store and never writes.
//
// The index is untrusted bytes. Every fault ends the reading with a message
// (GetError) and keeps the folders read before it; the caller shows the message and
// writes it to the report, together with the lines of GetReportLines, which tell of
// folders the tree shows elsewhere than the index meant, or whose file is not taken.
//
// Use: SetPaths, Read (or ReadIndex and FillTree), then GetFolders; Clear before the
// next identity. Tree items and tags point at the records, so they must be gone
// before the records are (Clear, the next Read, destruction).
class CDbx5FolderReader
{
public:
    CDbx5FolderReader();
    ~CDbx5FolderReader();
    CDbx5FolderReader(const CDbx5FolderReader&) = delete;
    CDbx5FolderReader& operator=(const CDbx5FolderReader&) = delete;

    // The index file, the store folder its dbx files lie in, and the data source whose
    // tag list takes one tag (record, kind 21) per folder item (may be null: no tags).
    bool SetPaths(const std::string& indexPath, const std::string& storeFolder,
                  CDataSource* tagSource);
    // Reads the index and, given a tree, fills it below `parent`. False when the index
    // path is empty, the file cannot be opened as a regular file, its header is short
    // or names no tree; true otherwise, also when a fault ended the reading early.
    bool Read(CCheckTreeModel* tree, TvTreeItem parent, bool showCheckBoxes);
    // Read without the tree.
    bool ReadIndex();
    // Inserts the top item (text 139) below `parent`, then an item per folder; returns
    // the top item.
    TvTreeItem FillTree(CCheckTreeModel& tree, TvTreeItem parent, bool showCheckBoxes);
    void Clear();

    const std::vector<std::unique_ptr<CDbx5Folder>>& GetFolders() const { return m_Folders; }
    // The message of the fault that ended the last read; empty when none did.
    const std::string& GetError() const { return m_strError; }
    const std::vector<std::string>& GetReportLines() const { return m_ReportLines; }
    const std::string& GetIndexPath() const { return m_strIndexPath; }
    const std::string& GetStoreFolder() const { return m_Store.GetPath(); }

    static constexpr std::uint32_t kFolderKind = 21;
    static constexpr unsigned kTextFolderTree = 139;

private:
    void ReadFolders(const CDbx5InputFile& file, const std::vector<std::uint32_t>& offsets);
    void TakeFile(CDbx5Folder& folder);
    TvTreeItem InsertFolder(CCheckTreeModel& tree, TvTreeItem parent, CDbx5Folder& folder,
                            bool showCheckBoxes);
    void ReportNesting(const CDbx5FolderNesting& nesting);

    std::string m_strIndexPath;
    CDbx5StoreFolder m_Store;
    CDataSource* m_pTagSource = nullptr;
    std::vector<std::unique_ptr<CDbx5Folder>> m_Folders;
    std::string m_strError;
    std::vector<std::string> m_ReportLines;
};
