#pragma once

#include "Prompt.h"

#include <QString>

#include <deque>
#include <functional>
#include <optional>
#include <string>

class QDialog;
class QWidget;

// The one way ui/ shows a dialog or a message box, so that tests can answer in the
// user's place: while answers are queued, each request takes the next one instead of
// showing anything. Runs on the GUI thread only. Texts are shown as plain text:
// names, paths and error texts from a backup or the system are never markup.
class CUiDialogs
{
public:
    struct Request
    {
        enum Kind
        {
            kMessage,  // text and style; the answer is an ID... value
            kDialog,   // dialog; the answer is its result (the dialog may be worked on)
            kPassword, // text; value takes the password, the answer IDOK or IDCANCEL
            kFileName, // file; value takes the path, the answer IDOK or IDCANCEL
            kFolder,   // text; value takes the folder, the answer IDOK or IDCANCEL
        };
        Kind kind = kMessage;
        std::string text{};
        unsigned style = 0;
        QDialog* dialog = nullptr;
        const CPrompt::FileDialog* file = nullptr;
        std::string* value = nullptr;
    };
    using Answer = std::function<int(Request& request)>;

    static int MessageBox(QWidget* parent, const std::string& text, unsigned style);
    static int Exec(QDialog& dialog);
    static bool AskPassword(QWidget* parent, const std::string& text, std::string& password);
    static bool AskFileName(QWidget* parent, const CPrompt::FileDialog& file, std::string& path);
    static bool AskFolder(QWidget* parent, const std::string& text, std::string& folder);

    // Tests: the next request is answered by `answer`; QueueAnswer(int) answers with
    // that value whatever was asked.
    static void QueueAnswer(Answer answer);
    static void QueueAnswer(int answer);
    static void ClearAnswers();
    static std::size_t PendingAnswers();

    // The caption of every box and dialog of the program.
    static QString Caption();

private:
    // The next queued answer to `request`; none while nothing is queued.
    static std::optional<int> TakeAnswer(Request request);
    static std::deque<Answer>& Answers();
};
