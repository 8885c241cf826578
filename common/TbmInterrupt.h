#pragma once

// Ctrl+C and SIGTERM: the handler only raises a flag (all a signal handler may do
// safely); the thread that waits for the job looks at it and cancels the job through
// its events, so the archive is closed whole. Reads of the terminal are not
// restarted, so a question being asked ends at once.
class CTbmInterrupt
{
public:
    static void Install();
    static bool IsRaised();
    // For tests.
    static void Raise();
    static void Clear();
};
