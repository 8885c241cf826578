#include "HtmlReport.h"

#include "EngineFolders.h"
#include "PrivateFile.h"
#include "ProjectData.h"

#include "Globals.h"
#include "WriteLog.h"

#include <sys/stat.h>

std::string CHtmlReport::GetBackupReportPath()
{
    return g_ProjectData.GetPathInJobFolder(kBackupReportName);
}

std::string CHtmlReport::GetRestoreReportPath()
{
    const std::string appData = CEngineFolders::GetAppDataFolder();
    return appData.empty() ? std::string() : CEngineFolders::Join(appData, kRestoreReportName);
}

std::string CHtmlReport::WithCrLf(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue; // written with the LF that follows
        if (text[i] == '\n')
            out += '\r';
        out += text[i];
    }
    return out;
}

// Reports name the user's files, so they are kept as private as the job itself.
int CHtmlReport::SaveReport(const std::string& path, const std::string& text)
{
    const std::string content = WithCrLf(text);
    if (path.empty() ||
        !CPrivateFile::Write(path, std::vector<std::uint8_t>(content.begin(), content.end()))) {
        WriteLog("Fail to genrate skin file");
        return 0;
    }
    return 1;
}

int CHtmlReport::SaveBackupReport() const
{
    return SaveReport(GetBackupReportPath(), m_strText);
}

int CHtmlReport::SaveRestoreReport() const
{
    return SaveReport(GetRestoreReportPath(), m_strText);
}

void CHtmlReport::ShowReport(const std::string& path)
{
    struct stat st
    {
    };
    if (!path.empty() && stat(path.c_str(), &st) == 0)
        g_Globals.OpenDocument(path, false);
}

void CHtmlReport::ShowBackupReport() const
{
    ShowReport(GetBackupReportPath());
}

void CHtmlReport::ShowRestoreReport() const
{
    ShowReport(GetRestoreReportPath());
}
