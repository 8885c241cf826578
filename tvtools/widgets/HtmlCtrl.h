#pragma once

#include <QTextBrowser>

#include <functional>
#include <string>

// The HTML view of pages and small wizards whose text and layout live in the page
// library: pages are loaded by name from a resource library, links whose address
// starts with "TVEVENT:" (any case) become command messages to the parent instead of
// navigating, ordinary links open in the desktop's browser, and what would give the
// browser away (its context menu, selecting text, Ctrl shortcuts) can be suppressed.
//
// Messages to the parent (CTvMessageEvent, posted): tvmsg::kHtmlCommand (1145) with
// the whole, fully decoded address as text; tvmsg::kHtmlDocumentComplete (1146).
class CHtmlCtrl : public QTextBrowser
{
    Q_OBJECT
public:
    // Finds page `page` of resource library `library` (a file name in the program
    // folder; empty: the library that holds this view) and gives its bytes; false
    // when there is no such page.
    using ResourceLoader =
        std::function<bool(const std::string& library, const std::string& page, std::string& data)>;
    // Opens an ordinary link outside the view.
    using LinkOpener = std::function<void(const std::string& address)>;

    // Process-wide: the program installs the page library's loader and the desktop's
    // opener; without an opener, links go to QDesktopServices.
    static void SetResourceLoader(ResourceLoader loader);
    static void SetLinkOpener(LinkOpener opener);

    explicit CHtmlCtrl(QWidget* parent = nullptr);

    // Takes the place of the parent's placeholder widget whose "controlId" property is
    // `controlId` (same geometry and id; the placeholder is destroyed). False when
    // the parent has none.
    bool CreateFromStatic(int controlId, QWidget* parent);
    bool CreateHtmlWnd(const QRect& rect, QWidget* parent, int controlId, unsigned extraStyle = 0);

    // Shows page `page` of `library`. A page that cannot be found leaves the view empty.
    void NavigateRes(const std::string& library, const std::string& page);
    // "res://" addresses as NavigateRes; anything else is loaded as a local file or URL.
    void Navigate(const std::string& address);
    // "res://" + library + "/" + page; an empty library is the file of the module that
    // holds this view.
    static std::string ResourceToURL(const std::string& page, const std::string& library);
    // True when `address` is a command link.
    static bool IsCommandLink(const std::string& address);

    void SetCancelRButton(bool cancel) { m_cancelRightButton = cancel; }
    void SetCancelMouseSelect(bool cancel);
    void SetCancelSendMessage(bool cancel) { m_cancelSendMessage = cancel; }
    // Whether the element under the screen point takes input. The text engine behind
    // this view renders no form controls, so no point of a page ever does.
    bool IsTextArea(const QPoint& screenPoint) const;

    // The page shown, as "res://library/page" or the address navigated to.
    const std::string& GetCurrentAddress() const { return m_address; }

protected:
    QVariant loadResource(int type, const QUrl& name) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void OnAnchorClicked(const QUrl& url);
    bool Swallows(QEvent* event) const;
    void Loaded();

    bool m_cancelRightButton = false;
    bool m_cancelMouseSelect = false;
    bool m_cancelSendMessage = false;
    std::string m_library;
    std::string m_address;
};
