#include "HtmlDialog.h"

#include "HtmlCtrl.h"
#include "ResourceLibrary.h"
#include "UiDialogs.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

CHtmlDialog::CHtmlDialog(const QSize& size, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(CUiDialogs::Caption());
    setFixedSize(size);
    m_placeholder = new QLabel(this);
    m_placeholder->setProperty("controlId", kPlaceholderId);
}

void CHtmlDialog::CreateView()
{
    auto* view = new CHtmlCtrl(this);
    if (!view->CreateFromStatic(kPlaceholderId, this)) {
        delete view;
        return;
    }
    m_placeholder = nullptr;
    m_html = view;
    m_html->SetCancelRButton(true);
    m_html->SetCancelMouseSelect(true);
}

void CHtmlDialog::ShowPage(const std::string& page)
{
    if (m_html)
        m_html->NavigateRes(kPageResFileName, page);
}

void CHtmlDialog::showEvent(QShowEvent* event)
{
    // Centred on the desktop, not on the window that opened it.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}
