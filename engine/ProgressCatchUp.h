#pragma once

#include <cstdint>

class CBackupProgress;

// The job progress of work done on several threads and finished in order: bytes are
// added as the threads process them, and at the end of each item finished the total
// is brought up to the sizes of all items so far, so an item that failed half-way
// still counts as done. False whenever the progress says the run is to stop.
class CProgressCatchUp
{
public:
    explicit CProgressCatchUp(CBackupProgress& progress) : m_progress(progress) {}

    bool Add(std::uint64_t bytes);
    bool Finished(std::uint64_t itemSize);

private:
    CBackupProgress& m_progress;
    std::uint64_t m_advanced = 0; // bytes reported to the progress
    std::uint64_t m_finished = 0; // sizes of the items finished
};
