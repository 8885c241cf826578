#include "MediumSubPage.h"

#include "Globals.h"
#include "Prompt.h"
#include "UiDialogs.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <sys/stat.h>

QLineEdit* CMediumSubPage::AddFolderRow(QFormLayout* form, const QString& label)
{
    auto* edit = new QLineEdit(this);
    auto* browse = new QPushButton(QStringLiteral("&Browse..."), this);
    auto* row = new QHBoxLayout;
    row->addWidget(edit, 1);
    row->addWidget(browse);
    // A row of a layout gets no buddy from the form: the label is made here, so its
    // "&" marks the shortcut to the edit instead of showing.
    auto* caption = new QLabel(label, this);
    caption->setBuddy(edit);
    form->addRow(caption, row);
    connect(browse, &QPushButton::clicked, this, [this, edit] {
        std::string folder = edit->text().toStdString();
        if (CUiDialogs::AskFolder(this, "Choose the folder for the backup", folder))
            edit->setText(QString::fromStdString(folder));
    });
    return edit;
}

bool CMediumSubPage::UsableFolder(const std::string& folder)
{
    struct stat st
    {
    };
    if (!folder.empty() && folder.front() == '/') {
        g_Globals.CreateFolderPath(folder);
        if (::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            return true;
    }
    CUiDialogs::MessageBox(nullptr,
                           "The folder \"" + folder +
                               "\" cannot be used for the backup.\nPlease choose a folder by "
                               "its full path.",
                           MB_OK | MB_ICONERROR);
    return false;
}
