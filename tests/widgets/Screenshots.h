#pragma once

// Pictures of widgets as the offscreen platform draws them, at a chosen device pixel
// ratio, and saving them to $TBM_SCREENSHOT_DIR (when set) for people to look at.
#include <QDir>
#include <QImage>
#include <QString>
#include <QTest>
#include <QWidget>

#include <cstdlib>

namespace widgettest {

inline QImage Render(QWidget& widget, qreal ratio)
{
    QImage image(widget.size() * ratio, QImage::Format_ARGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    widget.render(&image);
    return image;
}

inline void Save(const QImage& image, const QString& name)
{
    const char* folder = std::getenv("TBM_SCREENSHOT_DIR");
    if (!folder || !*folder)
        return;
    QDir().mkpath(folder);
    QVERIFY(image.save(QString(folder) + "/" + name));
}

// Saves `widget` at ratios 1 and 2 as name + "@1x.png" and name + "@2x.png".
inline void SaveBothRatios(QWidget& widget, const QString& name)
{
    for (const qreal ratio : {1.0, 2.0})
        Save(Render(widget, ratio), name + QString("@%1x.png").arg(ratio));
}

} // namespace widgettest
