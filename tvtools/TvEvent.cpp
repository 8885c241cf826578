#include "TvEvent.h"

void CTvEvent::Set()
{
    {
        std::lock_guard lock(m_mutex);
        m_bSet = true;
    }
    m_changed.notify_all();
}

void CTvEvent::Reset()
{
    {
        std::lock_guard lock(m_mutex);
        m_bSet = false;
    }
    m_changed.notify_all();
}

bool CTvEvent::IsSet() const
{
    std::lock_guard lock(m_mutex);
    return m_bSet;
}

void CTvEvent::Wait() const
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_bSet; });
}

void CTvEvent::WaitReset() const
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_bSet; });
}

bool CTvEvent::WaitFor(std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [this] { return m_bSet; });
}
