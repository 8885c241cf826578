#include "DataSource.h"

#include "CatalogueFile.h"
#include "ProjectData.h"

#include "Prompt.h"
#include "WriteLog.h"

#include <sys/stat.h>

namespace {

// Catalogue names end up in archive entry names and come back from catalogues that
// anyone could have written: only a plain file name stays inside the work folder.
bool IsPlainFileName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

} // namespace

int CDataSource::WriteCatalogue(const std::string& name)
{
    if (!IsPlainFileName(name)) {
        WriteLog("Fail to create or open current playlist file");
        return 0;
    }
    return WriteCatalogueFile(g_ProjectData.GetPathInWorkFolder(name));
}

int CDataSource::WriteCatalogueFile(const std::string& path)
{
    if (path.empty() || !CCatalogueFile::Write(path, m_ItemList, m_strLastError)) {
        WriteLog("Fail to create or open current playlist file");
        if (!m_strLastError.empty())
            WriteLog("%s: %s", path.c_str(), m_strLastError.c_str());
        return 0;
    }
    m_strLastError.clear();
    // The catalogue becomes the first entry the backup adds for this source; it is
    // not listed in itself.
    struct stat st
    {
    };
    if (stat(path.c_str(), &st) == 0 && m_ItemList.GetOwnsObjects())
        m_ItemList.InsertAt(0, std::make_unique<CAddInfo>(path, 0));
    return 1;
}

int CDataSource::ReadCatalogue(const std::string& path)
{
    std::vector<std::unique_ptr<CAddInfo>> entries;
    const CCatalogueFile::Result result = CCatalogueFile::Read(path, entries, m_strLastError);
    if (result == CCatalogueFile::Result::Ok) {
        m_ItemList.Assign(std::move(entries));
        m_strLastError.clear();
        return 1;
    }
    m_ItemList.RemoveAll();
    if (result == CCatalogueFile::Result::OpenFailed)
        WriteLog("Fail to create or open treeobj.tdat file");
    else
        Prompt().MessageBox(m_strLastError, MB_OK | MB_ICONERROR);
    return 0;
}
