#include "TbmInterruptWatch.h"

#include "TbmInterrupt.h"

#include <chrono>

CTbmInterruptWatch::CTbmInterruptWatch(std::function<void()> cancel)
    : m_cancel(std::move(cancel)), m_thread([this] {
          while (!m_bQuit) {
              if (CTbmInterrupt::IsRaised())
                  m_cancel();
              std::this_thread::sleep_for(std::chrono::milliseconds(50));
          }
      })
{
}

CTbmInterruptWatch::~CTbmInterruptWatch()
{
    m_bQuit = true;
    m_thread.join();
}
