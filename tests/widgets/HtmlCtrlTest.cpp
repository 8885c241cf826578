// The HTML view: command links become messages to the parent (any letter case, the
// whole decoded address, three fields for a page), ordinary links go to the opener
// and never navigate, a missing page leaves the view empty, and Ctrl shortcuts and
// dragging select nothing.
#include "HtmlCtrl.h"
#include "TvMessageEvent.h"
#include "TvPage.h"
#include "WidgetTestUtil.h"
#include "WidgetTests.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <map>
#include <string>
#include <vector>

namespace {

const std::map<std::string, std::string>& Pages()
{
    static const std::map<std::string, std::string> pages = {
        {"links.html",
         "<p>Start <a href='tvevent:Restore:C%3A%5Cdata:two:three:four'>restore now</a> or "
         "read <a href='https://example.org/help'>the help pages</a> first.</p>"
         "<p>Plain words to select here.</p>"},
    };
    return pages;
}

// A page that records its command fields and loaded documents.
class CRecordingPage : public CTvPage
{
public:
    void OnBrowserEvent(const std::string& command, const std::string& first,
                        const std::string& second) override
    {
        events.push_back({command, first, second});
    }
    void OnDocumentComplete() override { ++documents; }
    std::vector<std::vector<std::string>> events;
    int documents = 0;
};

struct CPageFixture
{
    CPageFixture()
    {
        CHtmlCtrl::SetResourceLoader(
            [](const std::string& library, const std::string& page, std::string& data) {
                const auto it = Pages().find(page);
                if (library != "PageRes.so" || it == Pages().end())
                    return false;
                data = it->second;
                return true;
            });
        CHtmlCtrl::SetLinkOpener([this](const std::string& address) { opened.push_back(address); });
        page.Create(nullptr, QRect(0, 0, 500, 300), 4000);
        page.CreateHtmlWnd(QRect(0, 0, 500, 300), "links.html", "PageRes.so");
        page.show();
        exposed = QTest::qWaitForWindowExposed(&page);
        QCoreApplication::processEvents();
    }
    ~CPageFixture()
    {
        CHtmlCtrl::SetResourceLoader({});
        CHtmlCtrl::SetLinkOpener({});
    }
    CHtmlCtrl& View() { return *page.GetHtmlCtrl(); }
    void Click(const QString& text) { widgettest::ClickText(View(), text); }
    CRecordingPage page;
    std::vector<std::string> opened;
    bool exposed = false;
};

} // namespace

class HtmlCtrlTest : public QObject
{
    Q_OBJECT
private slots:
    void commandLinksBecomeMessages()
    {
        CPageFixture f;
        QCOMPARE(f.page.documents, 1);
        f.Click("restore now");
        QCOMPARE(f.page.events.size(), std::size_t(1));
        // Decoded, in its three fields; the fourth argument is dropped.
        QCOMPARE(f.page.events[0], (std::vector<std::string>{"Restore", "C", "\\data"}));
        QVERIFY(f.opened.empty());
        QCOMPARE(f.View().GetCurrentAddress(), std::string("res://PageRes.so/links.html"));
        QVERIFY(f.View().toPlainText().startsWith("Start"));

        // The message itself carries the whole address, prefix included.
        struct CReceiver : QObject
        {
            bool event(QEvent* event) override
            {
                if (event->type() != CTvMessageEvent::EventType())
                    return QObject::event(event);
                address = static_cast<CTvMessageEvent*>(event)->Text();
                return true;
            }
            std::string address;
        } receiver;
        QVERIFY(CTvPage::SplitCommand("TVEVENT:A").size() == 4);
        QCOMPARE(CTvPage::SplitCommand("TVEVENT:a::c:d:e")[2], std::string());
        QVERIFY(CHtmlCtrl::IsCommandLink("TvEvent:x"));
        QVERIFY(!CHtmlCtrl::IsCommandLink("TVEVEN"));
        TvPostMessage(&receiver, tvmsg::kHtmlCommand, 0, 0, "tvevent:x:y");
        QCoreApplication::processEvents();
        QCOMPARE(receiver.address, std::string("tvevent:x:y"));
    }

    void ordinaryLinksOpenOutsideTheView()
    {
        CPageFixture f;
        f.Click("the help pages");
        QCOMPARE(f.opened, std::vector<std::string>{"https://example.org/help"});
        QVERIFY(f.page.events.empty());
        QVERIFY(f.View().toPlainText().startsWith("Start")); // still the same page
    }

    void aMissingPageShowsNothing()
    {
        CPageFixture f;
        f.page.Navigate("nowhere.html", "PageRes.so");
        f.page.Navigate("links.html", "Other.so");
        QCoreApplication::processEvents();
        QVERIFY(f.View().toPlainText().isEmpty());
        QCOMPARE(f.page.documents, 1);
        QVERIFY(f.page.events.empty());
    }

    void nothingIsSelectedByCtrlOrDragging()
    {
        CPageFixture f;
        CHtmlCtrl& view = f.View();
        view.setFocus();
        QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
        QVERIFY(!view.textCursor().hasSelection());
        const QPoint from = widgettest::PointOfText(view, "Plain");
        const QPoint to = widgettest::PointOfText(view, "here");
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, to, view.viewport()->mapToGlobal(to), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view.viewport(), &move);
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, to);
        QVERIFY(!view.textCursor().hasSelection());

        // Without the filter the same gestures do select: the test above means something.
        view.SetCancelMouseSelect(false);
        QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
        QVERIFY(view.textCursor().hasSelection());
    }
};

static widgettest::CRegister<HtmlCtrlTest> g_register;

#include "HtmlCtrlTest.moc"
