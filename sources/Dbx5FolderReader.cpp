#include "Dbx5FolderReader.h"

#include "Dbx5Exception.h"
#include "Dbx5FileHeader.h"
#include "Dbx5IndexedInfo.h"
#include "Dbx5InputFile.h"
#include "Dbx5OffsetTree.h"

#include <new>

namespace {

constexpr const char* kNoMemory = "Error allocating memory !";

// Walks the folder tree; the message of the fault that ended the walk, or empty. The
// value offsets found before a fault stay in the tree, in order.
std::string WalkTree(CDbx5OffsetTree& tree, const CDbx5InputFile& file,
                     const CDbx5FileHeader& header)
{
    try {
        tree.Read(file, header.GetRootOffset(), header.GetValueCount());
    } catch (const CDbx5Exception& error) {
        return error.what();
    } catch (const std::bad_alloc&) {
        return kNoMemory;
    }
    return {};
}

} // namespace

CDbx5FolderReader::CDbx5FolderReader() = default;
CDbx5FolderReader::~CDbx5FolderReader() = default;

bool CDbx5FolderReader::SetPaths(const std::string& indexPath, const std::string& storeFolder,
                                 CDataSource* tagSource)
{
    m_strIndexPath = indexPath;
    m_Store.SetPath(storeFolder);
    m_pTagSource = tagSource;
    return true;
}

void CDbx5FolderReader::Clear()
{
    m_Folders.clear();
    m_Store.Forget();
    m_strError.clear();
    m_ReportLines.clear();
}

bool CDbx5FolderReader::Read(CCheckTreeModel* tree, TvTreeItem parent, bool showCheckBoxes)
{
    if (!ReadIndex())
        return false;
    if (tree)
        FillTree(*tree, parent, showCheckBoxes);
    return true;
}

bool CDbx5FolderReader::ReadIndex()
{
    Clear();
    CDbx5InputFile file;
    if (m_strIndexPath.empty() || !file.Open(m_strIndexPath))
        return false;
    // The index goes into every backup of the store on its own.
    m_Store.Reserve(file.GetDevice(), file.GetInode());
    CDbx5FileHeader header;
    try {
        header.Read(file);
    } catch (const CDbx5Exception& error) {
        m_strError = error.what();
        return false;
    }
    if (header.GetValueCount() == 0 || header.GetRootOffset() == 0)
        return false;
    // The folders found before a fault in the tree are read as if the walk had stopped
    // there, so a damaged node costs only the folders that follow it.
    CDbx5OffsetTree tree;
    const std::string treeError = WalkTree(tree, file, header);
    ReadFolders(file, tree.GetOffsets());
    if (m_strError.empty())
        m_strError = treeError;
    return true;
}

void CDbx5FolderReader::ReadFolders(const CDbx5InputFile& file,
                                    const std::vector<std::uint32_t>& offsets)
{
    try {
        for (const std::uint32_t offset : offsets) {
            CDbx5IndexedInfo info;
            info.Read(file, offset);
            auto folder = std::make_unique<CDbx5Folder>();
            folder->Fill(info);
            TakeFile(*folder);
            m_Folders.push_back(std::move(folder));
        }
    } catch (const CDbx5Exception& error) {
        m_strError = error.what();
    } catch (const std::bad_alloc&) {
        m_strError = kNoMemory;
    }
}

void CDbx5FolderReader::TakeFile(CDbx5Folder& folder)
{
    if (!folder.m_DbxFileName)
        return;
    const std::string& name = *folder.m_DbxFileName;
    switch (m_Store.Take(name, folder.m_strFullPath, folder.m_nFileSize)) {
    case CDbx5StoreFolder::Result::Taken:
        break;
    case CDbx5StoreFolder::Result::NotPlain:
        m_ReportLines.push_back("Mail folder " + folder.Describe() + ": the file name \"" + name +
                                "\" is no plain file name; its file is left out");
        break;
    case CDbx5StoreFolder::Result::TakenBefore:
        m_ReportLines.push_back("Mail folder " + folder.Describe() + ": the file \"" + name +
                                "\" is listed already; it is left out");
        break;
    }
}
