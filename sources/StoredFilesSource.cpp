#include "StoredFilesSource.h"

#include "ResultCodes.h"
#include "StoredName.h"

#include "FolderTools.h"
#include "WriteLog.h"

#include <sys/stat.h>

int CStoredFilesSource::AddStoredFile(const std::string& path, const std::string& entryName,
                                      const struct stat* known, std::uint32_t kind)
{
    const int code = CheckFileLoop(path, known);
    if (code != result::kSuccess)
        return code;
    struct stat st
    {
    };
    if (known)
        st = *known;
    else if (lstat(path.c_str(), &st) != 0)
        st = {};
    auto info = std::make_unique<CAddInfo>(path, kind, S_ISDIR(st.st_mode),
                                           static_cast<std::uint64_t>(st.st_size));
    info->m_strEntryName = entryName;
    m_ItemList.Add(std::move(info));
    return result::kSuccess;
}

int CStoredFilesSource::FinishCollect(std::string& catalogueName)
{
    if (!WriteCatalogue(m_strCatalogueName)) {
        WriteLog("Fail to create or open %s file", m_strCatalogueName.c_str());
        return result::kReadError;
    }
    catalogueName = m_strCatalogueName;
    return result::kSuccess;
}

int CStoredFilesSource::ReadStoredCatalogue(const CatalogueExtract& extract)
{
    m_ItemList.RemoveAll();
    std::string path;
    const int code = extract ? extract(m_strCatalogueName, path) : result::kExtractError;
    if (code != result::kSuccess)
        return code;
    return ReadCatalogue(path) ? result::kSuccess : result::kExtractError;
}

bool CStoredFilesSource::PlanBelow(const CAddInfo& stored, const std::string& archiveFolder,
                                   const std::string& root)
{
    // These sources store plain files (kind 0); anything else, a registry export
    // among them, was not written by them and is not restored.
    if (stored.m_dwKind != 0) {
        RefuseStored(stored, "it is no file of this part of the backup");
        return false;
    }
    if (root.empty()) {
        RefuseStored(stored, "there is no folder for it on this system");
        return false;
    }
    const std::optional<std::string> below = StoredNameBelow(stored.m_strEntryName, archiveFolder);
    const auto parts = below ? SplitStoredName(*below) : std::nullopt;
    if (!parts) {
        RefuseStored(stored, "its name leads outside the folder it belongs in");
        return false;
    }
    // The extraction walks down from the root without following links, so the root
    // itself must be there.
    tbm::CreateFolderPath(root, 0700);
    m_RestorePlan.Add(std::make_unique<CAddInfo>(PlanStoredFile(stored, root, *parts)));
    return true;
}

void CStoredFilesSource::RefuseStored(const CAddInfo& stored, const char* why) const
{
    Log("Fail to restore " + stored.m_strEntryName + ": " + why);
}
