// The page frame: moving by index, by identifier and by message; the one-shot
// overrides of Next and Previous; a page that refuses to be left; the strip's layout;
// Enter and Escape inside a dialog; a screenshot of a frame with an HTML page.
#include "TvPropertiesPages.h"
#include "HtmlCtrl.h"
#include "TvImageButton.h"
#include "TvMessageEvent.h"
#include "TvPage.h"
#include "TvPageDlg.h"
#include "WidgetTestUtil.h"
#include "WidgetTests.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <string>
#include <vector>

namespace {

// A dialog page that writes down what the frame asked of it.
class CRecordingPage : public CTvPageDlg
{
public:
    CRecordingPage(unsigned id, std::vector<std::string>& log) : CTvPageDlg(id), m_log(log)
    {
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(new QLabel(QString("Page %1").arg(id), this));
        edit = new QLineEdit(this);
        layout->addWidget(edit);
    }
    void OnSetActive() override { m_log.push_back("active " + std::to_string(GetDialogId())); }
    bool OnKillActive() override
    {
        m_log.push_back("kill " + std::to_string(GetDialogId()));
        return !refuse;
    }
    void OnCreatePage() override { m_log.push_back("create " + std::to_string(GetDialogId())); }
    void OnCancel() override { m_log.push_back("cancel " + std::to_string(GetDialogId())); }
    bool refuse = false;
    QLineEdit* edit = nullptr;

private:
    std::vector<std::string>& m_log;
};

class CInfoPage : public CTvPage
{
public:
    void OnBrowserEvent(const std::string& command, const std::string& first,
                        const std::string& second) override
    {
        events.push_back(command + "|" + first + "|" + second);
    }
    void OnDocumentComplete() override { ++documents; }
    std::vector<std::string> events;
    int documents = 0;
};

// A frame of ten dialog pages 100..109 and a window page with id 4000.
struct CFrame
{
    explicit CFrame(unsigned style = 2 | 4 | 8)
    {
        frame.Create(nullptr, QRect(0, 0, 600, 400), style, 1);
        for (unsigned id = 100; id < 110; ++id) {
            auto* page = new CRecordingPage(id, log);
            pages.push_back(page);
            frame.InsertPage(id, page, CTvPropertiesPages::kShowStrip);
        }
        window = new CInfoPage;
        window->Create(nullptr, QRect(0, 0, 10, 10), 4000);
        frame.InsertPage(window, 0);
    }
    unsigned Current() const { return frame.GetCurrentPageDlg(); }
    std::vector<std::string> log;
    CTvPropertiesPages frame;
    std::vector<CRecordingPage*> pages;
    CInfoPage* window = nullptr;
};

void Post(QObject* to, unsigned message, std::uintptr_t first, std::intptr_t second)
{
    TvPostMessage(to, message, first, second);
    QCoreApplication::processEvents();
}

} // namespace

class TvPropertiesPagesTest : public QObject
{
    Q_OBJECT
private slots:
    void overridesGoOnceThenTheOrderResumes()
    {
        CFrame f;
        QCOMPARE(f.log.front(), std::string("create 100"));
        QVERIFY(f.frame.SetPage(2));
        f.frame.SetBtnNextPage(107);
        f.frame.GetButton(CTvPropertiesPages::kNextId)->click();
        QCOMPARE(f.Current(), 107u);
        f.frame.OnNext();
        QCOMPARE(f.Current(), 108u);
        f.frame.SetBtnPrivousPage(101);
        f.frame.SetBtnNextPage(4000);
        f.frame.OnPrevious(); // clears both overrides
        QCOMPARE(f.Current(), 101u);
        f.frame.OnNext();
        QCOMPARE(f.Current(), 102u);
        // An override that names no page does nothing, and is not used up.
        f.frame.SetBtnNextPage(555);
        f.frame.OnNext();
        QCOMPARE(f.Current(), 102u);
        QCOMPARE(f.frame.GetPageHandleWnd(0), static_cast<QWidget*>(f.pages[0]));
        QVERIFY(!f.frame.GetPageHandleWnd(11));
        QVERIFY(!f.frame.SetPage(11));
        QVERIFY(!f.frame.SetPage(-1));
        // Only the visible page is shown.
        QVERIFY(f.pages[2]->isVisibleTo(&f.frame));
        QVERIFY(!f.pages[7]->isVisibleTo(&f.frame));
    }

    void aPageThatRefusesStays()
    {
        CFrame f;
        f.frame.SetPage(3);
        f.pages[3]->refuse = true;
        f.log.clear();
        QVERIFY(f.frame.SetPage(5)); // refused, yet true
        QCOMPARE(f.Current(), 103u);
        QCOMPARE(f.log, std::vector<std::string>{"kill 103"});
        Post(&f.frame, tvmsg::kGoToDialogPage, 1, 106);
        QCOMPARE(f.Current(), 103u);
        f.pages[3]->refuse = false;
        f.frame.OnNext();
        QCOMPARE(f.Current(), 104u);
        QCOMPARE(f.log.back(), std::string("active 104"));
    }

    void messagesAddressPagesByIdentifier()
    {
        CFrame f;
        f.frame.SetPage(4);
        f.frame.SetBtnNextPage(109);
        Post(&f.frame, tvmsg::kGoToDialogPage, 0, 777); // no such page: nothing at all
        QCOMPARE(f.Current(), 104u);
        f.frame.OnNext();
        QCOMPARE(f.Current(), 109u); // the override survived
        // Mode 2 on a window page hides the strip: the page takes the whole client area.
        Post(&f.frame, tvmsg::kGoToWindowPage, 2, 4000);
        QCOMPARE(f.frame.GetCurrentIndex(), 10);
        QVERIFY(!f.frame.IsControlVisible());
        QCOMPARE(f.window->geometry(), f.frame.rect());
        QVERIFY(f.frame.GetControlRect().isEmpty());
        QVERIFY(!f.frame.GetButton(CTvPropertiesPages::kNextId)->isVisibleTo(&f.frame));
        // Mode 1 shows it again; message 1 goes back to the first page.
        Post(&f.frame, tvmsg::kGoToDialogPage, 1, 103);
        QVERIFY(f.frame.IsControlVisible());
        QCOMPARE(f.pages[3]->geometry(), QRect(0, 0, 600, 375));
        Post(&f.frame, tvmsg::kFirstPage, 0, 0);
        QCOMPARE(f.Current(), 100u);
        QCOMPARE(f.frame.GetPageDlgHandle(105), static_cast<QWidget*>(f.pages[5]));
        QVERIFY(!f.frame.GetPageDlgHandle(4000));
    }

    void theStripsLayoutAndButtons()
    {
        CFrame f;
        f.frame.SetPage(0);
        const auto geometry = [&f](int id) { return f.frame.GetButton(id)->geometry(); };
        QCOMPARE(geometry(CTvPropertiesPages::kExitId), QRect(515, 378, 80, 20));
        QCOMPARE(geometry(CTvPropertiesPages::kNextId), QRect(430, 378, 80, 20));
        QCOMPARE(geometry(CTvPropertiesPages::kPreviousId), QRect(345, 378, 80, 20));
        QCOMPARE(f.frame.GetControlRect(), QRect(0, 375, 600, 25));
        QCOMPARE(f.frame.GetClientRect(), QRect(0, 0, 600, 375));
        QVERIFY(f.frame.GetButton(CTvPropertiesPages::kNextId)->IsImageOnRight());
        QVERIFY(!f.frame.GetButton(CTvPropertiesPages::kPreviousId)->IsImageOnRight());
        QCOMPARE(f.frame.GetButton(CTvPropertiesPages::kNextId)->text(), QString("Next"));
        // A disabled Next is enabled again when the next page shows the strip.
        QVERIFY(f.frame.EnableNextButton(false));
        QVERIFY(!f.frame.GetButton(CTvPropertiesPages::kNextId)->isEnabled());
        f.frame.OnNext();
        QVERIFY(f.frame.GetButton(CTvPropertiesPages::kNextId)->isEnabled());
        // The layout follows the window's size.
        f.frame.resize(800, 500);
        QCOMPARE(geometry(CTvPropertiesPages::kExitId), QRect(715, 478, 80, 20));
        QCOMPARE(f.pages[1]->geometry(), QRect(0, 0, 800, 475));

        CFrame twoButtons(2 | 4);
        QVERIFY(!twoButtons.frame.GetButton(CTvPropertiesPages::kExitId));
        QCOMPARE(twoButtons.frame.GetButton(CTvPropertiesPages::kNextId)->geometry(),
                 QRect(510, 378, 80, 20));
        CFrame none(0);
        QVERIFY(!none.frame.EnableNextButton(true));
    }

    void enterAndEscapeNeverCloseThePage()
    {
        QDialog dialog;
        std::vector<std::string> log;
        CTvPropertiesPages frame;
        frame.Create(&dialog, QRect(0, 0, 400, 300), 2 | 4, 1);
        auto* page = new CRecordingPage(100, log);
        frame.InsertPage(100, page, 0);
        frame.SetPage(0);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        page->edit->setFocus();
        QTest::keyClick(page->edit, Qt::Key_Escape);
        QTest::keyClick(page->edit, Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QCOMPARE(log.back(), std::string("cancel 100"));
        QCOMPARE(dialog.result(), 0);
    }

    void screenshotOfAFrameWithAnHtmlPage()
    {
        CHtmlCtrl::SetResourceLoader([](const std::string&, const std::string&, std::string& data) {
            data = "<h2>Welcome</h2><p>Choose what to back up, then press "
                   "<a href='TVEVENT:NEXT'>Next</a>.</p>";
            return true;
        });
        CFrame f;
        f.frame.SetControlColorBg(QColor(0xdae6f2));
        f.window->CreateHtmlWnd(QRect(0, 0, 600, 375), "welcome.html", "PageRes.so");
        Post(&f.frame, tvmsg::kGoToWindowPage, 1, 4000);
        QCOMPARE(f.window->documents, 1);
        f.frame.GetButton(CTvPropertiesPages::kPreviousId)->setEnabled(false);
        widgettest::SaveBothRatios(f.frame, "page-frame");
        CHtmlCtrl::SetResourceLoader({});
    }
};

static widgettest::CRegister<TvPropertiesPagesTest> g_register;

#include "TvPropertiesPagesTest.moc"
