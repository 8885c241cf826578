#pragma once

#include <string>
#include <vector>

// How the last backup run ended, for callers that tell the user more than
// "finished" or "failed", and the files it could not put into the archive.
struct RunEnding
{
    enum Kind
    {
        kNone,
        kFinished,
        kUpToDate,           // nothing changed: the backup file was left as it was
        kCancelledUnchanged, // cancelled; the previous backup is as it was
        kCancelledIncomplete, // cancelled with no previous backup: what was added is kept
        kFailed,             // the new backup could not be written; any previous one stays
    };
    Kind kind = kNone;
    std::vector<std::string> failedFiles; // each has a report line
};
