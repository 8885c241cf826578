#pragma once

#include <QButtonGroup>
#include <QLabel>
#include <QRadioButton>
#include <QString>
#include <QVBoxLayout>

#include "TvImageButton.h"
#include "TvPropertiesPages.h"

#include <initializer_list>

// Small helpers for the pages' controls.
namespace pagelayout {

// A run page's hold on the frame's strip: Next stays off (the run is the last step),
// Previous follows the page's own buttons.
inline void EnableStripForRun(CTvPropertiesPages* frame, bool enable)
{
    frame->EnableNextButton(false);
    if (QWidget* previous = frame->GetButton(CTvPropertiesPages::kPreviousId))
        previous->setEnabled(enable);
}

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

// One radio button a text, numbered from 0 in `group`, one under another.
inline void Choices(QButtonGroup* group, QVBoxLayout* layout, std::initializer_list<QString> texts,
                    QWidget* parent)
{
    int id = 0;
    for (const QString& text : texts) {
        auto* choice = new QRadioButton(text, parent);
        group->addButton(choice, id++);
        layout->addWidget(choice);
    }
}

} // namespace pagelayout
