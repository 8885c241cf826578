// The program's dialogs: message boxes that show texts as text and give the answers
// of their buttons, the identity wizard's command links and second page, the CD/DVD
// advice and its preference, and ordinary links going to the desktop's opener.
// Screenshots of both dialogs are written at ratios 1 and 2.
#include "CdrwInfoDlg.h"
#include "HtmlCtrl.h"
#include "HtmlServices.h"
#include "OEWizardDlg.h"
#include "Preferences.h"
#include "TempDir.h"
#include "UiDialogs.h"
#include "WidgetTestUtil.h"

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

// Clicks the button with `label` of the message box that is about to be shown, and
// keeps what the box showed.
struct CBoxClicker
{
    explicit CBoxClicker(const QString& label)
    {
        QTimer::singleShot(0, [this, label] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            plainText = box->textFormat() == Qt::PlainText;
            shown = box->text();
            for (QAbstractButton* button : box->buttons())
                if (button->text() == label)
                    button->click();
        });
    }
    bool plainText = false;
    QString shown;
};

class HtmlDialogsTest : public tbmtest::TempDirTest
{
protected:
    void SetUp() override
    {
        tbmtest::TempDirTest::SetUp();
        InstallHtmlServices();
    }
    void TearDown() override
    {
        CHtmlCtrl::SetResourceLoader({});
        CHtmlCtrl::SetLinkOpener({});
        tbmtest::TempDirTest::TearDown();
    }
};

} // namespace

TEST(UiDialogsTest, MessageBoxesShowTextsAsTextAndAnswerWithTheirButtons)
{
    const std::string name = "<b>Report</b> &amp; <i>more</i>.txt";
    CBoxClicker skip("&Skip");
    EXPECT_EQ(CUiDialogs::MessageBox(nullptr, name, MB_SKIPRETRYCANCEL | MB_ICONWARNING),
              IDSKIPFILE);
    EXPECT_TRUE(skip.plainText);
    EXPECT_EQ(skip.shown.toStdString(), name);

    CBoxClicker no("&No");
    EXPECT_EQ(CUiDialogs::MessageBox(nullptr, "Stop?", MB_YESNO | MB_ICONQUESTION), IDNO);
    CUiDialogs::QueueAnswer(IDRETRYFILE);
    EXPECT_EQ(CUiDialogs::MessageBox(nullptr, "scripted", MB_SKIPRETRYCANCEL), IDRETRYFILE);
}

TEST_F(HtmlDialogsTest, IdentityWizardAnswersWithItsCommandLinks)
{
    {
        COEWizardDlg wizard;
        wizard.show();
        ASSERT_TRUE(wizard.GetHtmlCtrl());
        EXPECT_TRUE(wizard.GetHtmlCtrl()->toPlainText().contains("Is this identity empty?"));
        widgettest::SaveBothRatios(wizard, "dialog190-page1");
        widgettest::ClickText(*wizard.GetHtmlCtrl(), "It holds mail");
        EXPECT_TRUE(wizard.isVisible());
        EXPECT_EQ(wizard.GetHtmlCtrl()->GetCurrentAddress(), "res://PageRes.so/oewiz2.html");
        widgettest::SaveBothRatios(wizard, "dialog190-page2");
        widgettest::ClickText(*wizard.GetHtmlCtrl(), "Yes, create a new identity");
        EXPECT_FALSE(wizard.isVisible());
        EXPECT_EQ(wizard.result(), COEWizardDlg::kNewIdentity);
    }
    for (const auto& [link, result] :
         {std::pair{"It is empty: restore into it", COEWizardDlg::kUseIdentity},
          std::pair{"Cancel", COEWizardDlg::kCancel}}) {
        COEWizardDlg wizard;
        wizard.show();
        widgettest::ClickText(*wizard.GetHtmlCtrl(), link);
        EXPECT_EQ(wizard.result(), result) << link;
    }
}

TEST_F(HtmlDialogsTest, CdAdviceKeepsItsShowAgainChoice)
{
    ASSERT_TRUE(g_Preferences.Load());
    g_Preferences.m_nShowCDRW = 1;
    {
        CCdrwInfoDlg advice;
        advice.show();
        EXPECT_TRUE(advice.GetShowAgainBox()->isChecked());
        EXPECT_TRUE(advice.GetHtmlCtrl()->toPlainText().contains("Backing up to a CD or DVD"));
        widgettest::SaveBothRatios(advice, "dialog244");
        advice.GetShowAgainBox()->setChecked(false);
        // Escape and the window's close button leave the preference alone.
        advice.reject();
        EXPECT_EQ(g_Preferences.m_nShowCDRW, 1);
        advice.GetShowAgainBox()->setChecked(false);
        advice.accept();
    }
    EXPECT_EQ(g_Preferences.m_nShowCDRW, 0);
    g_Preferences.Save();
    g_Preferences.m_nShowCDRW = 1;
    ASSERT_TRUE(g_Preferences.Load());
    EXPECT_EQ(g_Preferences.m_nShowCDRW, 0);
    CCdrwInfoDlg again;
    EXPECT_FALSE(again.GetShowAgainBox()->isChecked());
}

TEST_F(HtmlDialogsTest, OrdinaryLinksGoToTheDesktopOpener)
{
    const std::string seen = m_dir / "opened.txt";
    const std::string opener = m_dir / "opener.sh";
    std::ofstream(opener) << "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" << seen << "'\n";
    ASSERT_EQ(chmod(opener.c_str(), 0700), 0);
    setenv("TBM_OPEN_COMMAND", opener.c_str(), 1);
    const std::string page = m_dir / "links.html";
    std::ofstream(page) << "<p>See <a href='https://example.org/a%20b?x=1'>the help</a>.</p>";

    CHtmlCtrl view;
    view.resize(400, 200);
    view.show();
    view.Navigate(page);
    widgettest::ClickText(view, "the help");
    std::string opened;
    for (int i = 0; i < 500 && opened.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::ifstream in(seen);
        std::getline(in, opened);
    }
    unsetenv("TBM_OPEN_COMMAND");
    EXPECT_EQ(opened, "https://example.org/a%20b?x=1");
    EXPECT_TRUE(view.toPlainText().startsWith("See")); // the view stayed on its page
}
