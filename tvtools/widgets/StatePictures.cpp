#include "StatePictures.h"

#include "CheckStates.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

// A calm palette that reads on light backgrounds: blue for what will be saved, grey
// for what is only partly chosen or out of reach.
const QColor kBoxBorder(0x7A, 0x84, 0x92);
const QColor kBoxFill(0xFF, 0xFF, 0xFF);
const QColor kCheckedBorder(0x1E, 0x63, 0xD0);
const QColor kCheckedFill(0xEE, 0xF4, 0xFF);
const QColor kBlueTick(0x1E, 0x63, 0xD0);
const QColor kGreyTick(0x8C, 0x94, 0x9F);
const QColor kUnavailableBorder(0xA8, 0xAE, 0xB6);
const QColor kUnavailableFill(0xE9, 0xEB, 0xEE);
const QColor kHatch(0xAE, 0xB4, 0xBC);

// The box, 13 logical pixels wide with its border on pixel centres, so a 1-pixel line
// is sharp at ratio 1 and a 2-pixel line at ratio 2.
const QRectF kBox(1.5, 1.5, 13.0, 13.0);

void DrawBox(QPainter& painter, const QColor& border, const QColor& fill)
{
    painter.setPen(QPen(border, 1.0));
    painter.setBrush(fill);
    painter.drawRoundedRect(kBox, 2.0, 2.0);
}

void DrawTick(QPainter& painter, const QColor& colour)
{
    QPainterPath tick;
    tick.moveTo(4.4, 8.2);
    tick.lineTo(7.0, 10.8);
    tick.lineTo(11.8, 5.2);
    painter.setPen(QPen(colour, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(tick);
}

void DrawHatch(QPainter& painter)
{
    QPainterPath clip;
    clip.addRoundedRect(kBox.adjusted(0.5, 0.5, -0.5, -0.5), 1.5, 1.5);
    painter.save();
    painter.setClipPath(clip);
    painter.setPen(QPen(kHatch, 1.0));
    for (qreal x = -12.0; x < 16.0; x += 3.0)
        painter.drawLine(QPointF(x, 16.0), QPointF(x + 16.0, 0.0));
    painter.restore();
}

} // namespace

quint64 CStatePictures::Key(int state, qreal devicePixelRatio)
{
    return (static_cast<quint64>(std::lround(devicePixelRatio * 100.0)) << 8) |
           static_cast<quint64>(state);
}

void CStatePictures::Build()
{
    for (int state = tvcheck::kUnchecked; state <= tvcheck::kUnavailable; ++state)
        for (const qreal ratio : {1.0, 2.0})
            m_cache.insert(Key(state, ratio), Draw(state, ratio));
    m_built = true;
}

QPixmap CStatePictures::Picture(int state, qreal devicePixelRatio) const
{
    if (!m_built || state < tvcheck::kUnchecked || state > tvcheck::kUnavailable)
        return QPixmap();
    const quint64 key = Key(state, devicePixelRatio);
    auto found = m_cache.find(key);
    if (found == m_cache.end())
        found = m_cache.insert(key, Draw(state, devicePixelRatio));
    return found.value();
}

QPixmap CStatePictures::Draw(int state, qreal devicePixelRatio)
{
    const int side = static_cast<int>(std::ceil(kSize * devicePixelRatio));
    QPixmap pixmap(side, side);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (state) {
    case tvcheck::kUnchecked:
        DrawBox(painter, kBoxBorder, kBoxFill);
        break;
    case tvcheck::kChecked:
    case tvcheck::kCheckedPartial:
        DrawBox(painter, kCheckedBorder, kCheckedFill);
        DrawTick(painter, kBlueTick);
        break;
    case tvcheck::kPartial:
        DrawBox(painter, kBoxBorder, kBoxFill);
        DrawTick(painter, kGreyTick);
        break;
    case tvcheck::kUnavailable:
        DrawBox(painter, kUnavailableBorder, kUnavailableFill);
        DrawHatch(painter);
        break;
    default:
        break;
    }
    return pixmap;
}
