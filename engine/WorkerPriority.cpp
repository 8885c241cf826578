#include "WorkerPriority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>

int NiceValueOfPriority(int preference)
{
    if (preference <= -15)
        return 19;
    if (preference >= 15)
        return -20;
    return std::clamp(-5 * preference, -20, 19);
}

void SetWorkerThreadPriority(int preference)
{
    const int nice = NiceValueOfPriority(preference);
    if (nice == 0)
        return;
    // On Linux a nice value belongs to the thread (its kernel task), not the process.
    const auto tid = static_cast<id_t>(syscall(SYS_gettid));
    (void)setpriority(PRIO_PROCESS, tid, nice);
}
