#include "MainCatalogue.h"

#include "CatalogueFile.h"
#include "DataSource.h"
#include "EngineFolders.h"
#include "ProjectData.h"
#include "ResultCodes.h"

#include "IniFile.h"
#include "Prompt.h"
#include "WriteLog.h"

namespace {

constexpr const char* kSection = "Main";

// An INI line cannot hold a line break; a description typed over several lines is
// kept on one rather than lost.
std::string OneLine(std::string text)
{
    for (char& c : text) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return text;
}

} // namespace

bool CMainCatalogue::WriteMainData(const std::string& path, const CProjectData& job)
{
    CIniFile ini(path);
    ini.Reset();
    const bool set = ini.SetValue(kSection, "ProjectName", OneLine(job.GetJobName())) &&
                     ini.SetValue(kSection, "ProjectDescription", OneLine(job.GetDescription())) &&
                     ini.SetValue(kSection, "ProjectDate", OneLine(job.GetCreationDate())) &&
                     ini.SetValue(kSection, "ProjectTime", OneLine(job.GetCreationTime()));
    return set && !path.empty() && ini.WriteFile();
}

bool CMainCatalogue::WriteTreeObj(const std::string& path,
                                  const CAutoObArray<CBackupTreeItem>& items)
{
    std::string error;
    if (path.empty() || !CCatalogueFile::Write(path, items, error)) {
        WriteLog("Fail to create or open treeobj.tdat file");
        return false;
    }
    return true;
}

int CMainCatalogue::Write(CDataSource& engine, CProjectData& job,
                          const CAutoObArray<CBackupTreeItem>& items)
{
    const std::string workFolder = job.GetWorkFolder();
    if (workFolder.empty())
        return 0;
    const std::string mainData = CEngineFolders::Join(workFolder, kMainDataName);
    if (!WriteMainData(mainData, job)) {
        WriteLog("Fail to create or open %s", mainData.c_str());
        return 0;
    }
    if (engine.AddFile(mainData) != result::kSuccess)
        return 0;
    const std::string treeObj = CEngineFolders::Join(workFolder, kTreeObjName);
    if (!WriteTreeObj(treeObj, items))
        return 0;
    return engine.AddFile(treeObj) == result::kSuccess ? 1 : 0;
}

int CMainCatalogue::Read(const std::string& workFolder, std::string& rootText,
                         CAutoObArray<CBackupTreeItem>& items, std::string& error)
{
    rootText.clear();
    items.RemoveAll();
    if (workFolder.empty()) {
        error = "No work folder";
        return 0;
    }
    CIniFile ini(CEngineFolders::Join(workFolder, kMainDataName));
    ini.ReadFile();
    rootText = ini.GetValue(kSection, "ProjectName");

    std::vector<std::unique_ptr<CBackupTreeItem>> read;
    const std::string treeObj = CEngineFolders::Join(workFolder, kTreeObjName);
    const CCatalogueFile::Result result = CCatalogueFile::Read(treeObj, read, error);
    items.RemoveAll();
    if (result == CCatalogueFile::Result::OpenFailed) {
        WriteLog("Fail to create or open treeobj.tdat file");
        return 0;
    }
    if (result == CCatalogueFile::Result::FormatError) {
        Prompt().MessageBox(error, MB_OK | MB_ICONERROR);
        return 0;
    }
    items.Assign(std::move(read));
    error.clear();
    return 1;
}
