#pragma once

#include "SAStatusLog.h"

// The program's status log, one per process.
extern CSAStatusLog g_StatusLog;

// Name of the system-wide mutex that serialises every writer of the status log.
extern const char* const kLogMutexName;

// Formats one line (at most 2999 bytes, cut without splitting a UTF-8 sequence) and
// appends it to g_StatusLog. The finished text is passed on as data, so "%" in it is
// written as it is. Writers in all of the user's processes are serialised by the
// named mutex, taken before the log's own lock.
void WriteLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
