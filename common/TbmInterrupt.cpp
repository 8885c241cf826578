#include "TbmInterrupt.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t g_raised = 0;

extern "C" void OnInterrupt(int)
{
    g_raised = 1;
}

} // namespace

void CTbmInterrupt::Install()
{
    struct sigaction action
    {
    };
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no SA_RESTART: a blocked read of the terminal returns
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool CTbmInterrupt::IsRaised()
{
    return g_raised != 0;
}

void CTbmInterrupt::Raise()
{
    g_raised = 1;
}

void CTbmInterrupt::Clear()
{
    g_raised = 0;
}
