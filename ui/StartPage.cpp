#include "StartPage.h"

#include "CaseFold.h"
#include "Globals.h"
#include "HtmlReport.h"
#include "PageIds.h"
#include "ResourceLibrary.h"
#include "ScheduleWizard.h"
#include "TvPropertiesPages.h"
#include "UiDialogs.h"
#include "WizardContext.h"

#include <sys/stat.h>

CStartPage::CStartPage(CWizardContext& context) : m_context(context) {}

void CStartPage::OnBrowserEvent(const std::string& command, const std::string&, const std::string&)
{
    if (EqualsNoCase(command, "backup")) {
        pageid::PostGoTo(m_context.frame, pageid::kJob);
    } else if (EqualsNoCase(command, "restore")) {
        pageid::PostGoTo(m_context.frame, pageid::kRestoreFile);
    } else if (EqualsNoCase(command, "report")) {
        const std::string report = CHtmlReport::GetBackupReportPath();
        struct stat st
        {
        };
        if (::stat(report.c_str(), &st) == 0)
            g_Globals.OpenDocument(report, false);
    } else if (EqualsNoCase(command, "schedule")) {
        CScheduleWizard wizard(this);
        CUiDialogs::Exec(wizard);
    } else if (EqualsNoCase(command, "exit") && m_context.exitProgram) {
        m_context.exitProgram();
    }
}
