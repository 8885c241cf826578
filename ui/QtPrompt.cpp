#include "QtPrompt.h"

#include "UiDialogs.h"

#include <QCoreApplication>
#include <QThread>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace {

// One question handed to the GUI thread. The asking thread may give up on it only
// while the GUI thread has not started it (the application is going away): the
// question refers to the asker's variables.
struct QueuedQuestion
{
    std::mutex mutex;
    std::condition_variable answered;
    bool started = false;
    bool done = false;
    bool abandoned = false;
    int answer = IDCANCEL;
};

bool ApplicationGone()
{
    return QCoreApplication::instance() == nullptr || QCoreApplication::closingDown();
}

// Runs `ask` on the GUI thread and gives its answer; called there, it just runs it.
int OnGuiThread(const std::function<int()>& ask)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread())
        return ask();
    auto question = std::make_shared<QueuedQuestion>();
    QMetaObject::invokeMethod(
        app,
        [question, &ask] {
            {
                std::lock_guard lock(question->mutex);
                if (question->abandoned)
                    return;
                question->started = true;
            }
            const int answer = ask();
            std::lock_guard lock(question->mutex);
            question->answer = answer;
            question->done = true;
            question->answered.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(question->mutex);
    while (!question->done) {
        question->answered.wait_for(lock, std::chrono::milliseconds(200));
        if (!question->done && !question->started && ApplicationGone()) {
            question->abandoned = true;
            return IDCANCEL;
        }
    }
    return question->answer;
}

} // namespace

int CQtPrompt::MessageBox(const std::string& text, unsigned style)
{
    return OnGuiThread([&] { return CUiDialogs::MessageBox(m_parent, text, style); });
}

bool CQtPrompt::AskPassword(const std::string& text, std::string& password)
{
    return OnGuiThread([&] {
               return CUiDialogs::AskPassword(m_parent, text, password) ? IDOK : IDCANCEL;
           }) == IDOK;
}

bool CQtPrompt::AskFileName(const FileDialog& dialog, std::string& path)
{
    return OnGuiThread([&] {
               return CUiDialogs::AskFileName(m_parent, dialog, path) ? IDOK : IDCANCEL;
           }) == IDOK;
}

bool CQtPrompt::AskFolder(const std::string& text, std::string& folder)
{
    return OnGuiThread([&] {
               return CUiDialogs::AskFolder(m_parent, text, folder) ? IDOK : IDCANCEL;
           }) == IDOK;
}
