#pragma once

#include <string>

class CBackupCommandLineInfo;

// The run options the command line sets once, before the main window exists; the
// pages and the application object only read them.
extern bool g_bExecuteJob;       // "e": run the job named by "job" unattended
extern bool g_bQuick;            // "quick": no count-down before an unattended run
extern std::string g_strJobName; // "job": the saved job to run
extern bool g_bExitWhenDone;     // cleared by "noexit"
extern bool g_bShowReport;       // "showlogfile": open the report when the run ends
extern bool g_bValidate;         // cleared by "novalidate": verify the new backup

// Logs the command line, sets the options that have a default to it and applies
// every switch (names in any case; unknown switches and stray values are ignored, a
// later switch overrides an earlier one). "e" and "job" are only ever set. True.
bool ParseCommandLine(CBackupCommandLineInfo& info);
