#include "RegistryExport.h"

#include "FolderTools.h"
#include "ProjectData.h"
#include "Prompt.h"
#include "RegistryEditor.h"
#include "RegistryLines.h"
#include "TempFileName.h"
#include "TextFileConverter.h"
#include "WriteLog.h"

#include <sys/stat.h>

#include <cstdio>

namespace {

bool Exists(const std::string& path)
{
    struct stat st
    {
    };
    return stat(path.c_str(), &st) == 0;
}

} // namespace

CRegistryExport::CRegistryExport(const std::string& fileName, const std::string& keyPath,
                                 const std::string& workFolder)
    : m_fileName(fileName), m_keyPath(keyPath)
{
    ClearTags();
    std::string base = workFolder.empty() ? g_ProjectData.GetWorkFolder() : workFolder;
    if (base.empty())
        base = TvGetTempPath();
    // The work folder is the user's own: made private when it has to be made here.
    if (!Exists(base))
        tbm::CreateFolderPath(base, 0700);
    m_exportFolder = tbm::CreateTempFolder(base);
    if (m_exportFolder.empty())
        WriteLog("Fail to create export folder in %s", base.c_str());
}

std::string CRegistryExport::WriteRegistryFileToTemp()
{
    if (m_exportFolder.empty())
        return {};
    const std::string path = m_exportFolder + "/" + m_fileName;
    const std::vector<std::string> arguments{kRegistryExportSwitch, path,
                                             kRegistryCurrentUserRoot + m_keyPath};
    const std::string command = RegistryEditorCommand(arguments);
    WriteLog("WriteRegistryFileToTemp Function = %s", command.c_str());
    WriteLog("Wait for Write Registry Function to write : %s", command.c_str());
    const int status = RunRegistryEditor(arguments);
    if (status < 0) {
        WriteLog("Cant Start Regedit Porcess");
        return path;
    }
    WriteLog("Regedit exit status %d : %s", status, command.c_str());
    if (!Exists(path))
        return {};
    ConvertRegistryFileToAnsi(path);
    return path;
}

void CRegistryExport::ConvertRegistryFileToAnsi(const std::string& path) const
{
    WriteLog("Convert Registry File to ANSI %s", path.c_str());
    ConvertToAnsiText(path);
    ReplaceHeader(path);
}

void CRegistryExport::ConvertToAnsiText(const std::string& path) const
{
    CTextFileConverter converter;
    if (!converter.Load(path)) {
        Prompt().MessageBox("Fail to open file Unicode file", MB_OK | MB_ICONWARNING);
        return;
    }
    if (!converter.IsUnicode())
        return;
    converter.Convert();
    if (!converter.Save(path))
        Prompt().MessageBox("Fail to write ANIS Code fille", MB_OK | MB_ICONWARNING);
}

void CRegistryExport::ReplaceHeader(const std::string& path) const
{
    const std::string temp = m_exportFolder + "/" + kRegistryExportTempName;
    bool headerReplaced = false;
    switch (RewriteRegistryLines(path, temp, {}, {}, &headerReplaced)) {
    case RegistryLinesResult::SourceNotOpened:
        WriteLog("Fail  Open File : %s", path.c_str());
        return;
    case RegistryLinesResult::TargetNotOpened:
        WriteLog("Fail  Open File : %s", temp.c_str());
        return;
    case RegistryLinesResult::WriteFailed:
        WriteLog("Fail to write File : %s", temp.c_str());
        std::remove(temp.c_str());
        return;
    case RegistryLinesResult::Done:
        break;
    }
    if (headerReplaced)
        WriteLog("Covernt Windows Registry To REGEDIT: %s", path.c_str());
    ReplaceRegistryFile(temp, path);
}
