#pragma once

#include <string>

// The environment variable that switches the status log on: unset, empty or "0" keeps
// it off; "1" logs in the program folder; any other value is the folder to log in
// (for a program folder that is read-only).
extern const char* const kLogSwitchVariable;

// Chooses a fresh log file "LOG<hex>_.log" for g_StatusLog in `programFolder` (or the
// folder TBM_LOG names), switches the log on or off as TBM_LOG says and writes the
// start-up banner. Never throws; without a usable folder the program runs without a
// log.
void StartStatusLog(const std::string& programFolder);
