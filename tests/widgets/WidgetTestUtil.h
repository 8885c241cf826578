#pragma once

// Helpers of the widget tests: pictures of widgets as the offscreen platform draws
// them, at a chosen device pixel ratio, saved to $TBM_SCREENSHOT_DIR (when set) for
// people to look at; clicks on a text shown in an HTML view.
#include "HtmlCtrl.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <QStyleHints>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
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

// Viewport point in the middle of `text` on the page a view shows; a link with that
// text when there is one.
inline QPoint PointOfText(CHtmlCtrl& view, const QString& text)
{
    QTextCursor found = view.document()->find(text);
    for (QTextCursor next = found; !next.isNull() && !next.charFormat().isAnchor();)
        if (next = view.document()->find(text, next);
            !next.isNull() && next.charFormat().isAnchor())
            found = next;
    QTextCursor middle(view.document());
    middle.setPosition((found.selectionStart() + found.selectionEnd()) / 2);
    return view.cursorRect(middle).center();
}

// Clicks `text` (a link, say) and lets the posted messages arrive.
inline void ClickText(CHtmlCtrl& view, const QString& text)
{
    // Clicks in a row would make a double click, which opens no link: one interval apart.
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, PointOfText(view, text),
                      QGuiApplication::styleHints()->mouseDoubleClickInterval() + 1);
    QCoreApplication::processEvents();
}

} // namespace widgettest
