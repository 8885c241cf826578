#pragma once

#include <atomic>
#include <functional>
#include <thread>

// While it lives, a thread looks at the interrupt flag every 50 ms and, once it is
// raised, calls `cancel` (again on every look, since a job resets its events when a
// new stage begins). The main thread meanwhile blocks in the engine's waits.
class CTbmInterruptWatch
{
public:
    explicit CTbmInterruptWatch(std::function<void()> cancel);
    ~CTbmInterruptWatch();
    CTbmInterruptWatch(const CTbmInterruptWatch&) = delete;
    CTbmInterruptWatch& operator=(const CTbmInterruptWatch&) = delete;

private:
    std::function<void()> m_cancel;
    std::atomic<bool> m_bQuit{false};
    std::thread m_thread;
};
