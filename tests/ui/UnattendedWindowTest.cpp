// The unattended run in the window: the count-down before it, and what its Cancel
// leaves (no job run, the program ends cancelled).
#include "BackupWizardFixture.h"

#include "CountDownDialog.h"
#include "RunOptions.h"
#include "TbmExitCodes.h"
#include "UnattendedStart.h"

#include <QLabel>
#include <QProgressBar>

namespace {

class UnattendedWindowTest : public wizardtest::BackupWizardTest
{
protected:
    void TearDown() override
    {
        g_bExecuteJob = false;
        g_bQuick = false;
        g_strJobName.clear();
        wizardtest::BackupWizardTest::TearDown();
    }
};

} // namespace

TEST_F(UnattendedWindowTest, CountDownCancelRunsNothingAndEndsCancelled)
{
    g_bExecuteJob = true;
    g_strJobName = "My Weekly Job";
    QString shown;
    int steps = 0;
    CUiDialogs::QueueAnswer([&](CUiDialogs::Request& request) {
        auto* countDown = dynamic_cast<CCountDownDialog*>(request.dialog);
        if (!countDown)
            return static_cast<int>(QDialog::Accepted);
        countDown->show();
        countDown->Tick();
        countDown->Tick();
        shown = countDown->findChild<QLabel*>()->text();
        steps = countDown->findChild<QProgressBar*>()->value();
        widgettest::SaveBothRatios(*countDown, "countdown-222");
        return static_cast<int>(QDialog::Rejected);
    });
    auto* start = new CUnattendedStart(*m_window);
    start->Begin();
    Settle();
    EXPECT_TRUE(shown.contains(QStringLiteral("8"))) << shown.toStdString();
    EXPECT_EQ(steps, 2 * CCountDownDialog::kStep);
    EXPECT_EQ(start->GetExitCode(), tbmexit::kCancelled);
    EXPECT_EQ(m_engine.GetLastRun().kind, RunEnding::kNone);
    EXPECT_FALSE(m_window->isVisible());
}
