#include "CheckTreeModel.h"

#include "CheckStateString.h"
#include "CheckTreeNode.h"
#include "ObjectReader.h"
#include "ObjectWriter.h"
#include "WholeFile.h"

#include <cerrno>
#include <cstring>

// Saving and loading check states by key: the ".xsel" selection files.

namespace {

std::string FileError(const char* what, const std::string& path, int error)
{
    return std::string(what) + " \"" + path + "\": " + std::strerror(error);
}

} // namespace

bool CCheckTreeModel::SaveCheckStateToFile(const std::string& path)
{
    m_lastFileError.clear();
    std::vector<CCheckStateString> records;
    for (TvTreeItem item = GetRootItem(); item; item = GetNextItemEx(item)) {
        const CCheckTreeNode* node = Find(item);
        if (node->key)
            records.emplace_back(*node->key, static_cast<std::uint32_t>(node->state));
    }
    CObjectWriter out;
    try {
        out.WriteObjects(records);
    } catch (const CObjectStreamError& error) {
        m_lastFileError = "Cannot write \"" + path + "\": " + error.what();
        return false;
    }
    if (!out.SaveToFile(path)) {
        m_lastFileError = FileError("Cannot write", path, errno);
        return false;
    }
    return true;
}

bool CCheckTreeModel::LoadCheckStateFromFile(const std::string& path)
{
    m_lastFileError.clear();
    std::vector<std::uint8_t> bytes;
    if (!TvReadWholeFile(path, bytes)) {
        if (errno != ENOENT)
            m_lastFileError = FileError("Cannot read", path, errno);
        return false;
    }
    std::unordered_map<std::string, int> states;
    try {
        CObjectReader in(bytes);
        in.AcceptClass<CCheckStateString>();
        // The last record of a key wins; a state no item can show is no state at all.
        for (const auto& record : in.ReadObjects<CCheckStateString>())
            if (tvcheck::IsValidState(record->GetState()))
                states[record->GetKey()] = static_cast<int>(record->GetState());
    } catch (const CObjectStreamError& error) {
        m_lastFileError = "\"" + path + "\" is no valid selection file: " + error.what();
        return false;
    }
    for (const auto& [id, node] : m_nodes) {
        if (!node->key)
            continue;
        const auto found = states.find(*node->key);
        if (found != states.end())
            SetState(node.get(), found->second);
    }
    return true;
}
