#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// A manual-reset event: once set it stays set, waking every waiter, until someone
// resets it. Jobs use these to ask a worker to stop and to learn that it has ended.
// Safe to use from any thread.
class CTvEvent
{
public:
    CTvEvent() = default;
    CTvEvent(const CTvEvent&) = delete;
    CTvEvent& operator=(const CTvEvent&) = delete;

    void Set();
    void Reset();
    bool IsSet() const;
    // Waits until the event is set.
    void Wait() const;
    // Waits until the event is reset (a job's running event going down).
    void WaitReset() const;
    // Waits at most `timeout` for the event to be set; true when it is.
    bool WaitFor(std::chrono::milliseconds timeout) const;

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    bool m_bSet = false;
};
