// The schedule wizard over stand-ins for systemctl and crontab: its four pages,
// finishing twice (one task), a registration that fails (the old task stays), and
// deleting (asks 257, the task goes).
#include "ProjectData.h"
#include "Prompt.h"
#include "QtPrompt.h"
#include "ResourceLibrary.h"
#include "ScheduleAccountPage.h"
#include "ScheduleFrequencyPage.h"
#include "ScheduleJobPage.h"
#include "ScheduleRecord.h"
#include "ScheduleStartPage.h"
#include "ScheduleWizard.h"
#include "SystemdTaskForm.h"
#include "TempDir.h"
#include "TvPropertiesPages.h"
#include "UiDialogs.h"
#include "WidgetTestUtil.h"

#include "Globals.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>

namespace {

using tbmtest::ReadFileBytes;
using tbmtest::WriteFileBytes;

class ScheduleWizardTest : public tbmtest::TempDirTest
{
protected:
    void SetUp() override
    {
        TextResources().Load(g_Globals.GetProgramPath(kTextResFileName));
        SetPrompt(&m_prompt);
        WriteFileBytes(m_dir / "systemctl", "#!/bin/sh\nexit $(cat '" + m_dir / "status" + "' 2>/dev/null || echo 0)\n");
        chmod((m_dir / "systemctl").c_str(), 0755);
        setenv("TBM_SYSTEMCTL", (m_dir / "systemctl").c_str(), 1);
        setenv("TBM_CRONTAB", "/nonexistent/crontab", 1);
        g_ProjectData.NewJob();
        ASSERT_TRUE(g_ProjectData.RenameJob("Weekly Mail"));
        ASSERT_TRUE(g_ProjectData.SaveJob());
    }
    void TearDown() override
    {
        g_ScheduleRecord.DeleteTask();
        unsetenv("TBM_SYSTEMCTL");
        unsetenv("TBM_CRONTAB");
        CUiDialogs::ClearAnswers();
        SetPrompt(nullptr);
    }
    static std::string Timer()
    {
        return ReadFileBytes(CSystemdTaskForm::Folder() + "/TBManager_SC.timer");
    }
    // Walks the wizard: weekly on `day` at 06:30 for the saved job, then Finish;
    // returns the resource message the finish showed.
    int FinishWeekly(int day, const char* pictures)
    {
        CScheduleWizard wizard;
        wizard.show();
        m_shown.clear();
        for (const QLabel* label : wizard.GetStartPage()->findChildren<QLabel*>())
            if (label->text().startsWith(QStringLiteral("Now ")))
                m_shown = label->text().toStdString();
        if (pictures)
            widgettest::SaveBothRatios(wizard, QString::fromLatin1(pictures) + "-1-start");
        wizard.GetStartPage()->findChild<QPushButton*>()->click();
        CScheduleFrequencyPage* frequency = wizard.GetFrequencyPage();
        frequency->GetChoice(CScheduleRecord::kDaily)->setChecked(true);
        EXPECT_FALSE(frequency->GetWeekDays()->isEnabled());
        frequency->GetChoice(CScheduleRecord::kWeekly)->setChecked(true);
        EXPECT_TRUE(frequency->GetWeekDays()->isEnabled());
        frequency->GetWeekDays()->setCurrentIndex(day);
        frequency->GetTime()->setTime(QTime(6, 30));
        if (pictures)
            widgettest::SaveBothRatios(wizard, QString::fromLatin1(pictures) + "-2-frequency");
        wizard.GetPages()->OnNext();
        QListWidget* jobs = wizard.GetJobPage()->GetJobs();
        const auto found = jobs->findItems(QStringLiteral("Weekly Mail"), Qt::MatchExactly);
        EXPECT_EQ(found.size(), 1);
        if (!found.isEmpty())
            jobs->setCurrentItem(found.first());
        if (pictures)
            widgettest::SaveBothRatios(wizard, QString::fromLatin1(pictures) + "-3-job");
        wizard.GetPages()->OnNext();
        if (pictures)
            widgettest::SaveBothRatios(wizard, QString::fromLatin1(pictures) + "-4-finish");
        int shown = 0;
        CUiDialogs::QueueAnswer([&shown](CUiDialogs::Request& request) {
            shown = request.text == LoadResString(260) ? 260 : request.text == LoadResString(261) ? 261 : -1;
            return IDOK;
        });
        wizard.GetAccountPage()->GetFinishButton()->click();
        return shown;
    }

    CQtPrompt m_prompt;
    std::string m_shown; // what the first page said of the schedule there was
};

} // namespace

TEST_F(ScheduleWizardTest, FinishingTwiceLeavesOneTaskAndAFailedFinishKeepsTheOld)
{
    EXPECT_EQ(FinishWeekly(0, nullptr), 260);
    EXPECT_TRUE(Timer().find("OnCalendar=Sun *-*-* 06:30:00") != std::string::npos) << Timer();
    // The second time the first page reads the schedule back from its timer.
    EXPECT_EQ(FinishWeekly(3, "schedule-wizard"), 260);
    EXPECT_EQ(m_shown, "Now the job \"Weekly Mail\" runs weekly on Sunday at 06:30.");
    const std::string wednesday = Timer();
    EXPECT_TRUE(wednesday.find("OnCalendar=Wed *-*-* 06:30:00") != std::string::npos) << wednesday;
    EXPECT_EQ(g_ScheduleRecord.m_strJobName, "Weekly Mail");

    WriteFileBytes(m_dir / "status", "1");
    EXPECT_EQ(FinishWeekly(5, nullptr), 261);
    EXPECT_EQ(Timer(), wednesday);
    WriteFileBytes(m_dir / "status", "0");

    // Deleting asks first; No keeps the task, Yes removes it.
    CScheduleWizard wizard;
    wizard.show();
    QPushButton* remove = wizard.GetStartPage()->GetDeleteButton();
    ASSERT_TRUE(remove->isEnabled());
    std::string asked;
    CUiDialogs::QueueAnswer([&asked](CUiDialogs::Request& request) {
        asked = request.text;
        return IDNO;
    });
    remove->click();
    EXPECT_EQ(asked, LoadResString(257));
    EXPECT_TRUE(g_ScheduleRecord.TaskExists());
    CUiDialogs::QueueAnswer(IDYES);
    remove->click();
    EXPECT_FALSE(g_ScheduleRecord.TaskExists());
    EXPECT_FALSE(remove->isEnabled());
}
