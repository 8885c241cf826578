#include "WriteLog.h"

#include "NamedMutex.h"

#include <cstdarg>
#include <mutex>

CSAStatusLog g_StatusLog;

const char* const kLogMutexName = "Tovan_DebugTvLogMutex";

namespace {

// Made on first use rather than at load time: the lock file's folder comes from the
// environment, which the process may set up before it logs anything.
CNamedMutex& LogMutex()
{
    static CNamedMutex mutex(kLogMutexName);
    return mutex;
}

} // namespace

void WriteLog(const char* format, ...)
{
    if (!format)
        return;
    std::lock_guard<CNamedMutex> guard(LogMutex());
    char buffer[CSAStatusLog::kBufferSize];
    va_list args;
    va_start(args, format);
    const int length = CSAStatusLog::FormatBounded(buffer, sizeof buffer, format, args);
    va_end(args);
    if (length >= 0)
        g_StatusLog.StatusOut("%s", buffer);
}
