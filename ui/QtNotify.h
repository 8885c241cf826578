#pragma once

#include "Notify.h"
#include "ProgressSnapshot.h"

#include <QMetaType>
#include <QObject>
#include <QString>

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

Q_DECLARE_METATYPE(CProgressSnapshot)

// The GUI's notify: worker and collection threads post here, the GUI thread gets the
// messages as signals, in the order they were posted.
//
// post copies at once what a message points at (the progress object's values, the
// paths and names of codes 5, 12 and 15) and takes over what it owns (the scanning
// path, the heading of code 4), since none of it stays valid until the GUI thread
// gets round to it. Progress is coalesced: a progress message that follows another
// still waiting only updates that one, so a fast worker never floods the GUI.
class CQtNotify : public QObject, public CNotify
{
    Q_OBJECT
public:
    explicit CQtNotify(QObject* parent = nullptr);
    ~CQtNotify() override;

    void post(unsigned message, std::uintptr_t first, std::intptr_t second) override;

    // The GUI thread started a worker run (collection): until its end message has been
    // delivered it counts as running. `owner`, the page that started it, is the one
    // the run's messages are for (IsRunFor) until another run starts.
    void WorkerStarted(const QObject* owner = nullptr)
    {
        m_workerRunning = true;
        m_workerOwner = owner;
    }
    // True when `owner` started the last worker run: its progress, events and end
    // message, the end included, are for that page; other pages ignore them.
    bool IsRunFor(const QObject* owner) const { return owner && owner == m_workerOwner; }
    // A run `owner` started is running.
    bool IsRunningFor(const QObject* owner) const { return m_workerRunning && IsRunFor(owner); }
    void CollectStarted() { m_collectRunning = true; }
    bool IsWorkerRunning() const { return m_workerRunning; }
    bool IsCollectRunning() const { return m_collectRunning; }
    // Keeps the GUI working (a worker may still ask a question) until the run's end
    // message has been delivered; returns at once when none runs.
    void WaitForWorkerEnd();
    void WaitForCollectEnd();
    // Asks the running worker to stop (`requestCancel` must not block), waits for its
    // end message as above, then joins it (`join`).
    void CancelAndWait(const std::function<void()>& requestCancel,
                       const std::function<void()>& join);

    // Messages posted and not yet delivered (tests).
    std::size_t Pending() const;

signals:
    void progress(const CProgressSnapshot& snapshot);
    // kEvent: the code, its value, and the text it carried (path, name or heading).
    void engineEvent(int code, qintptr value, const QString& text);
    void scanning(const QString& path);
    void collectDone();
    void collectEnded(int result);
    void workerEnded();

private:
    struct Message
    {
        unsigned message = 0;
        std::uintptr_t first = 0;
        std::intptr_t second = 0;
        std::string text;
        CProgressSnapshot progress;
    };

    static Message Copy(unsigned message, std::uintptr_t first, std::intptr_t second);
    void Deliver();
    void Emit(const Message& message);

    mutable std::mutex m_mutex;
    std::deque<Message> m_queue;
    bool m_deliveryQueued = false;
    // GUI thread only.
    bool m_workerRunning = false;
    const QObject* m_workerOwner = nullptr;
    bool m_collectRunning = false;
};
