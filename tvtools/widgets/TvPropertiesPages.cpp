#include "TvPropertiesPages.h"

#include "TvImageButton.h"
#include "TvMessageEvent.h"
#include "TvPage.h"
#include "TvPageDlg.h"

#include <QPainter>
#include <QStyle>

namespace {

// The strip's texts, from TvTools' own small table (numbers 5, 6 and 7).
QString StripText(int number)
{
    switch (number) {
    case 5:
        return QStringLiteral("Exit");
    case 6:
        return QStringLiteral("Previous");
    case 7:
        return QStringLiteral("Next");
    default:
        return {};
    }
}

} // namespace

CTvPropertiesPages::CTvPropertiesPages(QWidget* parent) : QWidget(parent)
{
    m_stripColor = palette().color(QPalette::Button);
    m_buttonFace = m_stripColor;
    m_buttonHot = m_stripColor;
}

CTvPropertiesPages::~CTvPropertiesPages()
{
    for (Page& page : m_pages) {
        if (!page.page)
            continue;
        page.page->OnDestroyPage();
        delete page.page;
        page.page = nullptr;
    }
}

bool CTvPropertiesPages::Create(QWidget* parent, const QRect& rect, unsigned buttonStyle,
                                int controlId)
{
    if (m_created)
        return false;
    m_created = true;
    if (parent != parentWidget())
        setParent(parent);
    setProperty("controlId", controlId);
    setGeometry(rect);
    setMouseTracking(true);
    CreateButtons(buttonStyle);
    show();
    return true;
}

void CTvPropertiesPages::CreateButtons(unsigned style)
{
    const QIcon nextIcon = this->style()->standardIcon(QStyle::SP_ArrowRight);
    const QIcon previousIcon = this->style()->standardIcon(QStyle::SP_ArrowLeft);
    const bool pair = (style & kStylePrevious) && (style & kStyleNext);
    if (pair) {
        m_next = new CTvImageButton(StripText(7), kNextId, this);
        m_next->SetImage(nextIcon, true);
        m_previous = new CTvImageButton(StripText(6), kPreviousId, this);
        m_previous->SetImage(previousIcon, false);
        connect(m_next, &QPushButton::clicked, this, [this] {
            OnNext();
            emit buttonClicked(kNextId);
        });
        connect(m_previous, &QPushButton::clicked, this, [this] {
            OnPrevious();
            emit buttonClicked(kPreviousId);
        });
    }
    if (pair && (style & kStyleExit)) {
        m_exit = new CTvImageButton(StripText(5), kExitId, this);
        connect(m_exit, &QPushButton::clicked, this, [this] { emit buttonClicked(kExitId); });
    }
    for (CTvImageButton* button : {m_next, m_previous, m_exit})
        if (button)
            button->SetFaceColors(m_buttonFace, m_buttonHot);
    PlaceButtons();
}

void CTvPropertiesPages::PlaceButtons()
{
    // Right to left from the window's right edge: Exit from 85 to 5 pixels inside
    // it, Next 5 pixels left of Exit (or of the point 5 pixels inside the edge),
    // Previous 5 pixels left of Next; bottoms 2 pixels above the window's bottom.
    const int top = height() - 2 - kButtonHeight;
    int right = width() - 5;
    if (m_exit) {
        m_exit->setGeometry(right - kButtonWidth, top, kButtonWidth, kButtonHeight);
        right -= kButtonWidth;
    }
    if (m_next) {
        right -= 5;
        m_next->setGeometry(right - kButtonWidth, top, kButtonWidth, kButtonHeight);
        right -= kButtonWidth;
    }
    if (m_previous) {
        right -= 5;
        m_previous->setGeometry(right - kButtonWidth, top, kButtonWidth, kButtonHeight);
    }
    for (CTvImageButton* button : {m_next, m_previous, m_exit})
        if (button)
            button->setVisible(m_stripVisible);
}

int CTvPropertiesPages::InsertPage(unsigned dialogId, CTvPageDlg* page, int stripMode)
{
    page->setParent(this);
    page->move(GetClientRect().topLeft());
    page->setEnabled(true);
    page->hide();
    page->OnCreatePage();
    m_pages.push_back(Page{dialogId, page, page, stripMode, 0});
    return static_cast<int>(m_pages.size()) - 1;
}

int CTvPropertiesPages::InsertPage(QWidget* window, int stripMode)
{
    window->hide();
    window->setParent(this);
    window->setGeometry(GetClientRect());
    const unsigned windowId = window->property("controlId").toUInt();
    m_pages.push_back(Page{0, window, nullptr, stripMode, windowId});
    return static_cast<int>(m_pages.size()) - 1;
}

bool CTvPropertiesPages::KillActive(const Page& page) const
{
    if (page.page)
        return page.page->OnKillActive();
    if (auto* windowPage = qobject_cast<CTvPage*>(page.window); windowPage && page.windowId != 0)
        return windowPage->OnKillActive();
    return true;
}

void CTvPropertiesPages::SetActive(const Page& page) const
{
    if (page.page)
        page.page->OnSetActive();
    else if (auto* windowPage = qobject_cast<CTvPage*>(page.window);
             windowPage && page.windowId != 0)
        windowPage->OnSetActive();
}

bool CTvPropertiesPages::SetPage(int index)
{
    if (index < 0 || index >= GetPageCount())
        return false;
    if (m_current >= 0) {
        const Page& visible = m_pages[static_cast<std::size_t>(m_current)];
        if (!KillActive(visible))
            return true;
        visible.window->hide();
    }
    m_current = index;
    const Page& page = m_pages[static_cast<std::size_t>(index)];
    page.window->show();
    if (page.stripMode == kShowStrip && !m_stripVisible)
        SetControlVisible(true);
    else if (page.stripMode == kHideStrip && m_stripVisible)
        SetControlVisible(false);
    ReCalcLayout();
    if (m_stripVisible) {
        for (CTvImageButton* button : {m_next, m_previous})
            if (button)
                button->setEnabled(true);
    }
    SetActive(page);
    return true;
}

void CTvPropertiesPages::SetControlVisible(bool visible)
{
    m_stripVisible = visible;
    for (CTvImageButton* button : {m_next, m_previous, m_exit}) {
        if (!button)
            continue;
        button->setVisible(visible);
        if (visible)
            button->setEnabled(true);
    }
    ReCalcLayout();
    update();
}

void CTvPropertiesPages::SetControlColorBg(const QColor& color)
{
    m_stripColor = color;
    update();
}

void CTvPropertiesPages::SetBtnColors(const QColor& face, const QColor& hot)
{
    m_buttonFace = face;
    m_buttonHot = hot;
    for (CTvImageButton* button : {m_next, m_previous, m_exit})
        if (button)
            button->SetFaceColors(face, hot);
}

bool CTvPropertiesPages::EnableNextButton(bool enable)
{
    if (!m_next)
        return false;
    m_next->setEnabled(enable);
    return true;
}

QWidget* CTvPropertiesPages::GetPageDlgHandle(unsigned dialogId) const
{
    const int index = FindById(dialogId, true);
    return index < 0 ? nullptr : m_pages[static_cast<std::size_t>(index)].window;
}

unsigned CTvPropertiesPages::GetCurrentPageDlg() const
{
    return m_current < 0 ? 0 : m_pages[static_cast<std::size_t>(m_current)].dialogId;
}

QWidget* CTvPropertiesPages::GetPageHandleWnd(int index) const
{
    if (index < 0 || index >= GetPageCount())
        return nullptr;
    return m_pages[static_cast<std::size_t>(index)].window;
}

QRect CTvPropertiesPages::GetClientRect() const
{
    QRect area = rect();
    if (m_stripVisible)
        area.setBottom(area.bottom() - kStripHeight);
    return area;
}

QRect CTvPropertiesPages::GetControlRect() const
{
    if (!m_stripVisible)
        return {};
    return QRect(0, height() - kStripHeight, width(), kStripHeight);
}

void CTvPropertiesPages::ReCalcLayout()
{
    if (m_current >= 0)
        m_pages[static_cast<std::size_t>(m_current)].window->setGeometry(GetClientRect());
}

CTvImageButton* CTvPropertiesPages::GetButton(int controlId) const
{
    switch (controlId) {
    case kNextId:
        return m_next;
    case kPreviousId:
        return m_previous;
    case kExitId:
        return m_exit;
    default:
        return nullptr;
    }
}

int CTvPropertiesPages::FindById(unsigned id, bool dialogIdOnly) const
{
    if (id == 0)
        return -1;
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        const Page& page = m_pages[i];
        if (page.dialogId == id || (!dialogIdOnly && page.windowId == id))
            return static_cast<int>(i);
    }
    return -1;
}

void CTvPropertiesPages::GoToOverride(unsigned id)
{
    const int index = FindById(id, false);
    if (index < 0)
        return;
    m_nextOverride = 0;
    m_previousOverride = 0;
    SetPage(index);
}

void CTvPropertiesPages::OnNext()
{
    if (m_nextOverride != 0)
        GoToOverride(m_nextOverride);
    else
        SetPage(m_current + 1);
}

void CTvPropertiesPages::OnPrevious()
{
    if (m_previousOverride != 0)
        GoToOverride(m_previousOverride);
    else if (m_current >= 1)
        SetPage(m_current - 1);
}

bool CTvPropertiesPages::GoToPage(unsigned id, bool dialogPage, int mode)
{
    int index = -1;
    for (std::size_t i = 0; i < m_pages.size() && index < 0; ++i)
        if (id != 0 && (dialogPage ? m_pages[i].dialogId : m_pages[i].windowId) == id)
            index = static_cast<int>(i);
    if (index < 0)
        return false;
    m_nextOverride = 0;
    m_previousOverride = 0;
    SetPage(index);
    if (m_current != index)
        return true;
    if (mode == 1 && !m_stripVisible)
        SetControlVisible(true);
    else if (!dialogPage && mode == 2 && m_stripVisible)
        SetControlVisible(false);
    return true;
}

bool CTvPropertiesPages::event(QEvent* event)
{
    if (event->type() != CTvMessageEvent::EventType())
        return QWidget::event(event);
    const auto* message = static_cast<CTvMessageEvent*>(event);
    switch (message->Message()) {
    case tvmsg::kFirstPage:
        SetPage(0);
        return true;
    case tvmsg::kGoToDialogPage:
    case tvmsg::kGoToWindowPage:
        GoToPage(static_cast<unsigned>(message->Second()),
                 message->Message() == tvmsg::kGoToDialogPage, static_cast<int>(message->First()));
        return true;
    default:
        return QWidget::event(event);
    }
}

void CTvPropertiesPages::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PlaceButtons();
    ReCalcLayout();
}

void CTvPropertiesPages::paintEvent(QPaintEvent*)
{
    if (!m_stripVisible)
        return;
    QPainter painter(this);
    painter.fillRect(GetControlRect(), m_stripColor);
}
