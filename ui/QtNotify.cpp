#include "QtNotify.h"

#include "BackupProgress.h"
#include "RestoreNotify.h"

#include <QEventLoop>

CQtNotify::CQtNotify(QObject* parent) : QObject(parent)
{
    qRegisterMetaType<CProgressSnapshot>();
}

CQtNotify::~CQtNotify() = default;

CQtNotify::Message CQtNotify::Copy(unsigned message, std::uintptr_t first, std::intptr_t second)
{
    Message copy{message, first, second, {}, {}};
    if (message == notify::kProgress && first != 0) {
        copy.progress = CProgressSnapshot::Take(*reinterpret_cast<CBackupProgress*>(first));
        copy.first = 0;
    } else if (message == notify::kScanning && second != 0) {
        char* path = reinterpret_cast<char*>(second);
        copy.text = path;
        delete[] path;
        copy.second = 0;
    } else if (message == notify::kEvent && second != 0) {
        const auto code = static_cast<int>(first);
        if (code == notify::kRestoreSection) {
            auto* heading = reinterpret_cast<std::string*>(second);
            copy.text = std::move(*heading);
            delete heading;
            copy.second = 0;
        } else if (code == notify::kFilePath || code == notify::kVerifyName ||
                   code == notify::kRestorePath) {
            copy.text = reinterpret_cast<const char*>(second);
            copy.second = 0;
        }
    }
    return copy;
}

void CQtNotify::post(unsigned message, std::uintptr_t first, std::intptr_t second)
{
    Message copy = Copy(message, first, second);
    std::lock_guard lock(m_mutex);
    if (message == notify::kProgress && !m_queue.empty() &&
        m_queue.back().message == notify::kProgress)
        m_queue.back().progress.Merge(copy.progress);
    else
        m_queue.push_back(std::move(copy));
    if (m_deliveryQueued)
        return;
    m_deliveryQueued = true;
    QMetaObject::invokeMethod(this, &CQtNotify::Deliver, Qt::QueuedConnection);
}

void CQtNotify::Deliver()
{
    // One message per call. A handler may run a nested event loop (a dialog, or the
    // wait for the worker's end), and the messages behind this one must reach the
    // GUI there: so the next call is queued before this message is handed out, and
    // taking messages off the shared queue keeps them in order all the same.
    Message next;
    {
        std::lock_guard lock(m_mutex);
        if (m_queue.empty()) {
            m_deliveryQueued = false;
            return;
        }
        next = std::move(m_queue.front());
        m_queue.pop_front();
        m_deliveryQueued = !m_queue.empty();
        if (m_deliveryQueued)
            QMetaObject::invokeMethod(this, &CQtNotify::Deliver, Qt::QueuedConnection);
    }
    Emit(next);
}

void CQtNotify::Emit(const Message& message)
{
    const QString text = QString::fromStdString(message.text);
    switch (message.message) {
    case notify::kProgress:
        emit progress(message.progress);
        break;
    case notify::kScanning:
        emit scanning(text);
        break;
    case notify::kCollectDone:
        emit collectDone();
        break;
    case notify::kCollectEnded:
        m_collectRunning = false;
        emit collectEnded(static_cast<int>(message.first));
        break;
    case notify::kWorkerEnded:
        m_workerRunning = false;
        emit workerEnded();
        break;
    case notify::kEvent:
        emit engineEvent(static_cast<int>(message.first), message.second, text);
        break;
    default:
        break;
    }
}

std::size_t CQtNotify::Pending() const
{
    std::lock_guard lock(m_mutex);
    return m_queue.size();
}

namespace {

// Runs an event loop until `ended` has been emitted, unless `running` is false already.
template <class Signal> void RunLoopUntil(CQtNotify* notify, const bool& running, Signal ended)
{
    if (!running)
        return;
    QEventLoop loop;
    QObject::connect(notify, ended, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

void CQtNotify::WaitForWorkerEnd()
{
    RunLoopUntil(this, m_workerRunning, &CQtNotify::workerEnded);
}

void CQtNotify::WaitForCollectEnd()
{
    RunLoopUntil(this, m_collectRunning, &CQtNotify::collectEnded);
}

void CQtNotify::CancelAndWait(const std::function<void()>& requestCancel,
                              const std::function<void()>& join)
{
    if (m_workerRunning) {
        requestCancel();
        WaitForWorkerEnd();
    }
    join();
}
