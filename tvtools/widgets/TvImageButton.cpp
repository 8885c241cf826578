#include "TvImageButton.h"

#include <QPainter>
#include <QStyleOptionButton>

CTvImageButton::CTvImageButton(const QString& text, int controlId, QWidget* parent)
    : QPushButton(text, parent), m_controlId(controlId)
{
    m_face = palette().color(QPalette::Button);
    m_hot = m_face;
    setAutoDefault(false);
    setFocusPolicy(Qt::TabFocus);
}

void CTvImageButton::SetFaceColors(const QColor& face, const QColor& hot)
{
    m_face = face;
    m_hot = hot;
    update();
}

void CTvImageButton::SetImage(const QIcon& icon, bool imageOnRight)
{
    setIcon(icon);
    m_imageOnRight = imageOnRight;
    update();
}

void CTvImageButton::enterEvent(QEnterEvent* event)
{
    m_hover = true;
    update();
    QPushButton::enterEvent(event);
}

void CTvImageButton::leaveEvent(QEvent* event)
{
    m_hover = false;
    update();
    QPushButton::leaveEvent(event);
}

void CTvImageButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const bool enabled = isEnabled();
    const QColor face = !enabled ? QColor(kDisabledFace) : (m_hover || isDown()) ? m_hot : m_face;
    QRect frame = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(rect(), face);
    painter.setPen(palette().color(enabled ? QPalette::Dark : QPalette::Mid));
    painter.drawRect(frame);
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.drawRect(frame.adjusted(2, 2, -2, -2));
    }

    const int imageSize = icon().isNull() ? 0 : qMin(16, height() - 4);
    const QString label = text();
    const int textWidth = fontMetrics().horizontalAdvance(label);
    const int gap = imageSize > 0 ? 4 : 0;
    const int left = (width() - textWidth - imageSize - gap) / 2 + (isDown() ? 1 : 0);
    const int top = isDown() ? 1 : 0;
    const int imageX = m_imageOnRight ? left + textWidth + gap : left;
    const int textX = m_imageOnRight ? left : left + imageSize + gap;
    if (imageSize > 0)
        icon().paint(&painter,
                     QRect(imageX, (height() - imageSize) / 2 + top, imageSize, imageSize),
                     Qt::AlignCenter, enabled ? QIcon::Normal : QIcon::Disabled);
    painter.setPen(enabled ? palette().color(QPalette::ButtonText) : QColor(kDisabledText));
    painter.drawText(QRect(textX, top, textWidth + 1, height()), Qt::AlignVCenter | Qt::AlignLeft,
                     label);
}
