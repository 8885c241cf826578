#pragma once

#include "TbmProgress.h"

#include <atomic>
#include <cstddef>

// The progress display of a restore. The restore thread speaks in codes of its own
// (started, section heading, target path, section ended, done); this turns the path
// into the file shown, frees the heading it is handed, and remembers whether the
// run got to its end.
class CTbmRestoreProgress : public CTbmProgress
{
public:
    using CTbmProgress::CTbmProgress;

    void post(unsigned message, std::uintptr_t first, std::intptr_t second) override;

    // True once the restore posted that every section was done.
    bool IsDone() const { return m_bDone; }
    // Entries the restore started to write.
    std::size_t GetFileCount() const { return m_files; }

private:
    std::atomic<bool> m_bDone{false};
    std::atomic<std::size_t> m_files{0};
};
