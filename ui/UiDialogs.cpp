#include "UiDialogs.h"

#include "PasswordDialog.h"

#include "ResourceLibrary.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>
#include <vector>

namespace {

QMessageBox::Icon IconOf(unsigned style)
{
    switch (style & 0xF0) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// The buttons of a button set with the answers they give, in the order shown.
std::vector<std::pair<QString, int>> ButtonsOf(unsigned style)
{
    switch (style & MB_BUTTONMASK) {
    case MB_OKCANCEL:
        return {{"OK", IDOK}, {"Cancel", IDCANCEL}};
    case MB_ABORTRETRYIGNORE:
        return {{"&Abort", IDABORT}, {"&Retry", IDRETRY}, {"&Ignore", IDIGNORE}};
    case MB_YESNOCANCEL:
        return {{"&Yes", IDYES}, {"&No", IDNO}, {"Cancel", IDCANCEL}};
    case MB_YESNO:
        return {{"&Yes", IDYES}, {"&No", IDNO}};
    case MB_RETRYCANCEL:
        return {{"&Retry", IDRETRY}, {"Cancel", IDCANCEL}};
    case MB_SKIPRETRYCANCEL:
        return {{"&Skip", IDSKIPFILE}, {"&Retry", IDRETRYFILE}, {"Cancel", IDCANCEL}};
    default:
        return {{"OK", IDOK}};
    }
}

// What closing the box without a button gives: Cancel where there is one.
int EscapeAnswer(const std::vector<std::pair<QString, int>>& buttons)
{
    for (const auto& [text, answer] : buttons)
        if (answer == IDCANCEL)
            return IDCANCEL;
    return buttons.size() == 1 ? buttons.front().second : IDNO;
}

} // namespace

std::deque<CUiDialogs::Answer>& CUiDialogs::Answers()
{
    static std::deque<Answer> answers;
    return answers;
}

void CUiDialogs::QueueAnswer(Answer answer)
{
    Answers().push_back(std::move(answer));
}

void CUiDialogs::QueueAnswer(int answer)
{
    QueueAnswer([answer](Request&) { return answer; });
}

void CUiDialogs::ClearAnswers()
{
    Answers().clear();
}

std::size_t CUiDialogs::PendingAnswers()
{
    return Answers().size();
}

std::optional<int> CUiDialogs::TakeAnswer(Request request)
{
    if (Answers().empty())
        return std::nullopt;
    const Answer next = std::move(Answers().front());
    Answers().pop_front();
    return next(request);
}

QString CUiDialogs::Caption()
{
    const std::string caption = LoadResString(129);
    return caption.empty() ? QStringLiteral("Tovan Backup Manager")
                           : QString::fromStdString(caption);
}

int CUiDialogs::MessageBox(QWidget* parent, const std::string& text, unsigned style)
{
    if (const auto answer = TakeAnswer({.kind = Request::kMessage, .text = text, .style = style}))
        return *answer;
    QMessageBox box(IconOf(style), Caption(), QString::fromStdString(text), QMessageBox::NoButton,
                    parent);
    box.setTextFormat(Qt::PlainText);
    const auto buttons = ButtonsOf(style);
    std::vector<std::pair<QAbstractButton*, int>> made;
    for (const auto& [label, value] : buttons) {
        const auto role = value == IDCANCEL ? QMessageBox::RejectRole : QMessageBox::AcceptRole;
        made.emplace_back(box.addButton(label, role), value);
    }
    box.setDefaultButton(static_cast<QPushButton*>(made.front().first));
    box.exec();
    for (const auto& [button, value] : made)
        if (box.clickedButton() == button)
            return value;
    return EscapeAnswer(buttons);
}

int CUiDialogs::Exec(QDialog& dialog)
{
    if (const auto answer = TakeAnswer({.kind = Request::kDialog, .dialog = &dialog}))
        return *answer;
    return dialog.exec();
}

bool CUiDialogs::AskPassword(QWidget* parent, const std::string& text, std::string& password)
{
    if (const auto answer =
            TakeAnswer({.kind = Request::kPassword, .text = text, .value = &password}))
        return *answer == IDOK;
    CPasswordDialog dialog(text, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    password = dialog.GetPassword();
    return true;
}

bool CUiDialogs::AskFileName(QWidget* parent, const CPrompt::FileDialog& file, std::string& path)
{
    if (const auto answer = TakeAnswer({.kind = Request::kFileName, .file = &file, .value = &path}))
        return *answer == IDOK;
    const QString filter =
        QString::fromStdString(file.filter) + " (" + QString::fromStdString(file.pattern) + ")";
    QFileDialog dialog(parent, Caption(), QString::fromStdString(path), filter);
    dialog.setAcceptMode(file.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(file.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QString::fromStdString(file.defaultExtension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    path = dialog.selectedFiles().front().toStdString();
    return true;
}

bool CUiDialogs::AskFolder(QWidget* parent, const std::string& text, std::string& folder)
{
    if (const auto answer = TakeAnswer({.kind = Request::kFolder, .text = text, .value = &folder}))
        return *answer == IDOK;
    const QString chosen = QFileDialog::getExistingDirectory(parent, QString::fromStdString(text),
                                                             QString::fromStdString(folder));
    if (chosen.isEmpty())
        return false;
    folder = chosen.toStdString();
    return true;
}
