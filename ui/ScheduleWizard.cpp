#include "ScheduleWizard.h"

#include "ProjectData.h"
#include "Prompt.h"
#include "ScheduleAccountPage.h"
#include "ScheduleFrequencyPage.h"
#include "ScheduleJobPage.h"
#include "ScheduleRecord.h"
#include "ScheduleStartPage.h"
#include "TvPropertiesPages.h"
#include "UiDialogs.h"

#include <QVBoxLayout>

namespace {

constexpr int kFrameId = 1074;

} // namespace

CScheduleWizard::CScheduleWizard(QWidget* parent)
    : QDialog(parent), m_pages(new CTvPropertiesPages(this)), m_start(new CScheduleStartPage),
      m_frequency(new CScheduleFrequencyPage), m_job(new CScheduleJobPage),
      m_account(new CScheduleAccountPage)
{
    setWindowTitle(CUiDialogs::Caption());
    resize(560, 400);
    g_ScheduleRecord.Reset();
    g_ScheduleRecord.LoadSchedule();
    m_pages->Create(this, QRect(0, 0, 560, 400),
                    CTvPropertiesPages::kStylePrevious | CTvPropertiesPages::kStyleNext |
                        CTvPropertiesPages::kStyleExit,
                    kFrameId);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pages);
    m_pages->InsertPage(CScheduleStartPage::kDialogId, m_start, CTvPropertiesPages::kHideStrip);
    m_pages->InsertPage(CScheduleFrequencyPage::kDialogId, m_frequency, CTvPropertiesPages::kShowStrip);
    m_pages->InsertPage(CScheduleJobPage::kDialogId, m_job, CTvPropertiesPages::kShowStrip);
    m_pages->InsertPage(CScheduleAccountPage::kDialogId, m_account, CTvPropertiesPages::kShowStrip);
    connect(m_start, &CScheduleStartPage::newSchedule, this, [this] { m_pages->SetPage(1); });
    connect(m_account, &CScheduleAccountPage::finish, this, &CScheduleWizard::Finish);
    connect(m_pages, &CTvPropertiesPages::buttonClicked, this, [this](int id) {
        if (id == CTvPropertiesPages::kExitId)
            reject();
    });
    m_pages->SetPage(0);
}

void CScheduleWizard::Finish()
{
    CScheduleRecord& record = g_ScheduleRecord;
    // A schedule of a job that is not saved would run nothing at its time.
    if (!g_ProjectData.IsSavedJob(record.m_strJobName)) {
        CUiDialogs::MessageBox(this, "Choose a saved backup job for the schedule.", MB_OK | MB_ICONWARNING);
        m_pages->SetPage(2);
        return;
    }
    record.SaveSchedule();
    MessageBoxRes(record.CreateTask() ? 260 : 261, MB_OK | MB_ICONINFORMATION);
    accept();
}
