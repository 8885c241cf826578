#pragma once

#include <climits>
#include <cstdint>

class CBackupProgress;

// What a progress bar needs of the progress object, copied on the thread that
// posts the progress message: the object keeps changing while the window catches
// up, so the window works from the copy only.
struct CProgressSnapshot
{
    bool running = false;   // the running event was set: otherwise the bars show 0
    int type = 0;           // the callback type being reported
    bool newAction = false; // the window must set its range afresh
    std::uint64_t actionTotal = 0;
    std::uint64_t actionDone = 0;
    std::uint64_t jobTotal = 0;
    std::uint64_t jobDone = 0;

    // Copies the object's fields and takes over its new-action flag; call it on the
    // thread that reports into the object.
    static CProgressSnapshot Take(CBackupProgress& progress);
    // Folds a later snapshot into this one: the later values, and a new action when
    // either had one.
    void Merge(const CProgressSnapshot& later);

    // A bar's range and position hold an int: totals that pass it are shown in
    // hundredths of a percent instead.
    static int Range(std::uint64_t total)
    {
        return total > INT_MAX ? kScaledRange : static_cast<int>(total);
    }
    static int Position(std::uint64_t done, std::uint64_t total)
    {
        if (done > total)
            done = total;
        if (total <= INT_MAX)
            return static_cast<int>(done);
        return static_cast<int>(static_cast<long double>(done) * kScaledRange / total);
    }
    static constexpr int kScaledRange = 10000;
};
