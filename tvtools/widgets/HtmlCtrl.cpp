#include "HtmlCtrl.h"

#include "TvMessageEvent.h"

#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QMouseEvent>

#include <dlfcn.h>

namespace {

CHtmlCtrl::ResourceLoader& Loader()
{
    static CHtmlCtrl::ResourceLoader loader;
    return loader;
}

CHtmlCtrl::LinkOpener& Opener()
{
    static CHtmlCtrl::LinkOpener opener;
    return opener;
}

constexpr char kCommandPrefix[] = "TVEVENT:";
constexpr char kResourceScheme[] = "res://";

// The file of the module this code is in: the library an empty name stands for.
std::string OwnModulePath()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&OwnModulePath), &info) == 0 || !info.dli_fname)
        return {};
    return info.dli_fname;
}

bool StartsWithNoCase(const std::string& text, const char* prefix)
{
    const std::size_t length = std::char_traits<char>::length(prefix);
    if (text.size() < length)
        return false;
    for (std::size_t i = 0; i < length; ++i)
        if (std::toupper(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    return true;
}

} // namespace

void CHtmlCtrl::SetResourceLoader(ResourceLoader loader)
{
    Loader() = std::move(loader);
}

void CHtmlCtrl::SetLinkOpener(LinkOpener opener)
{
    Opener() = std::move(opener);
}

CHtmlCtrl::CHtmlCtrl(QWidget* parent) : QTextBrowser(parent)
{
    // Links never navigate inside the view: command links become messages and the
    // rest open outside (OnAnchorClicked).
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setFrameShape(QFrame::NoFrame);
    connect(this, &QTextBrowser::anchorClicked, this, &CHtmlCtrl::OnAnchorClicked);
}

bool CHtmlCtrl::CreateFromStatic(int controlId, QWidget* parent)
{
    if (!parent)
        return false;
    QWidget* placeholder = nullptr;
    for (QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child != this && child->property("controlId").toInt() == controlId)
            placeholder = child;
    if (!placeholder)
        return false;
    const QRect rect = placeholder->geometry();
    delete placeholder;
    return CreateHtmlWnd(rect, parent, controlId);
}

bool CHtmlCtrl::CreateHtmlWnd(const QRect& rect, QWidget* parent, int controlId, unsigned)
{
    if (parent != parentWidget())
        setParent(parent);
    setProperty("controlId", controlId);
    setGeometry(rect);
    show();
    return true;
}

std::string CHtmlCtrl::ResourceToURL(const std::string& page, const std::string& library)
{
    return kResourceScheme + (library.empty() ? OwnModulePath() : library) + "/" + page;
}

bool CHtmlCtrl::IsCommandLink(const std::string& address)
{
    return StartsWithNoCase(address, kCommandPrefix);
}

void CHtmlCtrl::NavigateRes(const std::string& library, const std::string& page)
{
    const std::string address = ResourceToURL(page, library);
    if (address.empty())
        return;
    m_library = library;
    m_address = address;
    std::string html;
    if (!Loader() || !Loader()(library, page, html)) {
        // Nothing to show; with no links on it the page's own buttons end the dialog.
        clear();
        return;
    }
    setHtml(QString::fromUtf8(html.data(), static_cast<qsizetype>(html.size())));
    Loaded();
}

void CHtmlCtrl::Navigate(const std::string& address)
{
    if (address.rfind(kResourceScheme, 0) == 0) {
        const std::string rest = address.substr(std::char_traits<char>::length(kResourceScheme));
        const std::size_t slash = rest.rfind('/');
        if (slash != std::string::npos)
            NavigateRes(rest.substr(0, slash), rest.substr(slash + 1));
        return;
    }
    m_library.clear();
    m_address = address;
    const QString text = QString::fromStdString(address);
    setSource(text.startsWith('/') ? QUrl::fromLocalFile(text) : QUrl(text));
    Loaded();
}

void CHtmlCtrl::Loaded()
{
    if (parentWidget())
        TvPostMessage(parentWidget(), tvmsg::kHtmlDocumentComplete);
}

QVariant CHtmlCtrl::loadResource(int type, const QUrl& name)
{
    // Pictures and style sheets of a page from a library come from the same library.
    if (!m_library.empty() && name.isRelative() && Loader()) {
        std::string data;
        if (Loader()(m_library, name.path().toStdString(), data))
            return QByteArray(data.data(), static_cast<qsizetype>(data.size()));
        return {};
    }
    return QTextBrowser::loadResource(type, name);
}

void CHtmlCtrl::OnAnchorClicked(const QUrl& url)
{
    const std::string address = QUrl::fromPercentEncoding(url.toEncoded()).toStdString();
    if (IsCommandLink(address)) {
        // Posted, not sent: the click finishes before the receiver, which may load
        // another page into this view, reacts.
        if (parentWidget())
            TvPostMessage(parentWidget(), tvmsg::kHtmlCommand, 0, 0, address);
        return;
    }
    if (Opener())
        Opener()(url.toEncoded().toStdString());
    else
        QDesktopServices::openUrl(url);
}

void CHtmlCtrl::SetCancelMouseSelect(bool cancel)
{
    m_cancelMouseSelect = cancel;
    setTextInteractionFlags(cancel ? Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard
                                   : Qt::TextBrowserInteraction);
}

bool CHtmlCtrl::IsTextArea(const QPoint&) const
{
    return false;
}

bool CHtmlCtrl::Swallows(QEvent* event) const
{
    const auto overInput = [this](const QPoint& global) { return IsTextArea(global); };
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (overInput(mouse->globalPosition().toPoint()))
            return false;
        if (m_cancelRightButton && event->type() != QEvent::MouseMove &&
            mouse->button() == Qt::RightButton)
            return true;
        if (m_cancelMouseSelect && event->type() == QEvent::MouseMove &&
            (mouse->buttons() & (Qt::LeftButton | Qt::RightButton)))
            return true;
        return m_cancelMouseSelect && (mouse->modifiers() & Qt::ControlModifier);
    }
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto* input = static_cast<QInputEvent*>(event);
        return m_cancelMouseSelect && (input->modifiers() & Qt::ControlModifier);
    }
    default:
        return false;
    }
}

bool CHtmlCtrl::viewportEvent(QEvent* event)
{
    if (Swallows(event)) {
        event->accept();
        return true;
    }
    return QTextBrowser::viewportEvent(event);
}

void CHtmlCtrl::keyPressEvent(QKeyEvent* event)
{
    if (Swallows(event)) {
        event->accept();
        return;
    }
    QTextBrowser::keyPressEvent(event);
}

void CHtmlCtrl::keyReleaseEvent(QKeyEvent* event)
{
    if (Swallows(event)) {
        event->accept();
        return;
    }
    QTextBrowser::keyReleaseEvent(event);
}

void CHtmlCtrl::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_cancelRightButton && !IsTextArea(event->globalPos())) {
        event->accept();
        return;
    }
    QTextBrowser::contextMenuEvent(event);
}
