#pragma once

#include <string>
#include <vector>

// An unattended run ("-e -job NAME") on a machine without a display, as a scheduled
// job runs on a server or before anybody logs on: no window and no count-down; the
// saved job is backed up (and verified unless "-novalidate") the way tbm backs up,
// questions get the answers of a run nobody watches (HeadlessPrompt.h), messages go
// to stderr and the status log, SIGINT and SIGTERM cancel and wait for the archive
// to close. The process always ends, with tbm's exit codes.
class CHeadlessRun
{
public:
    // True when `arguments` (without the program name) ask for an unattended run and
    // there is no display: then Run is the whole process.
    static bool IsWanted(const std::vector<std::string>& arguments);
    static int Run(const std::vector<std::string>& arguments);

private:
    static int RunJob(const std::string& name);
    static int RunLocked();
};
