#pragma once

#include <QLabel>
#include <QString>

// Small helpers for the pages' controls.
namespace pagelayout {

// A caption at the top of a page.
inline QLabel* Title(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 1.4);
    font.setBold(true);
    label->setFont(font);
    return label;
}

// A label for texts from a backup, a job or the system: never markup.
inline QLabel* Plain(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

} // namespace pagelayout
