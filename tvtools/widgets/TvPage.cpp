#include "TvPage.h"

#include "HtmlCtrl.h"
#include "TvMessageEvent.h"

#include <QPainter>

CTvPage::CTvPage(QWidget* parent) : QWidget(parent)
{
    m_background = palette().color(QPalette::Base);
}

bool CTvPage::Create(QWidget* parent, const QRect& rect, int controlId)
{
    if (parent != parentWidget())
        setParent(parent);
    setProperty("controlId", controlId);
    setGeometry(rect);
    return true;
}

bool CTvPage::CreateHtmlWnd(const QRect& rect, const std::string& address,
                            const std::string& library)
{
    if (!m_html) {
        m_html = new CHtmlCtrl(this);
        m_html->SetCancelRButton(true);
        m_html->SetCancelMouseSelect(true);
    }
    m_html->CreateHtmlWnd(rect, this, kHtmlControlId);
    m_htmlMargins =
        QMargins(rect.left(), rect.top(), width() - rect.right() - 1, height() - rect.bottom() - 1);
    Navigate(address, library);
    return true;
}

void CTvPage::Navigate(const std::string& address, const std::string& library)
{
    if (!m_html)
        return;
    if (library.empty())
        m_html->Navigate(address);
    else
        m_html->NavigateRes(library, address);
}

QTextDocument* CTvPage::GetHtmlDocument() const
{
    return m_html ? m_html->document() : nullptr;
}

void CTvPage::SetBackGroundColor(const QColor& color)
{
    m_background = color;
    update();
}

std::vector<std::string> CTvPage::SplitCommand(const std::string& address)
{
    std::vector<std::string> fields(4);
    std::size_t start = 0;
    for (std::size_t field = 0; field < fields.size(); ++field) {
        const std::size_t colon = address.find(':', start);
        fields[field] = address.substr(start, colon == std::string::npos ? colon : colon - start);
        if (colon == std::string::npos)
            break;
        start = colon + 1;
    }
    return fields;
}

bool CTvPage::event(QEvent* event)
{
    if (event->type() == CTvMessageEvent::EventType()) {
        const auto* message = static_cast<CTvMessageEvent*>(event);
        if (message->Message() == tvmsg::kHtmlCommand) {
            const std::vector<std::string> fields = SplitCommand(message->Text());
            OnBrowserEvent(fields[1], fields[2], fields[3]);
            return true;
        }
        if (message->Message() == tvmsg::kHtmlDocumentComplete) {
            OnDocumentComplete();
            return true;
        }
    }
    return QWidget::event(event);
}

void CTvPage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_background);
}

void CTvPage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_html)
        m_html->setGeometry(rect().marginsRemoved(m_htmlMargins));
}
