#pragma once

#include "Notify.h"

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>

class CBackupProgress;
class CTbmConsole;

// Shows a running job on stderr and keeps how it ended. On a terminal it redraws one
// line (bar, file, bytes, rate, time left) at most ten times a second; otherwise it
// writes plain lines, at most one per file and one every few seconds, so a log stays
// readable. Messages come from the engine's worker threads.
class CTbmProgress : public CNotify
{
public:
    // `terminal`: redraw one line; `columns`: its width.
    CTbmProgress(CTbmConsole& console, bool terminal, std::size_t columns = 80);

    void post(unsigned message, std::uintptr_t first, std::intptr_t second) override;

    // Ends the redrawn line, so that what follows starts on a line of its own.
    void Finish();
    // The phase shown in front of plain lines ("Backing up", "Verifying", ...).
    void SetPhase(const std::string& phase);

    // The last end code seen (10, 11, 16 or 17), or -1.
    int GetEndCode() const;
    // Failed entries of a verification that ended with 16; 0 when it could not read
    // the archive at all, which IsArchiveUnreadable tells.
    std::intptr_t GetFailedCount() const;
    bool IsArchiveUnreadable() const;
    // The values of the counting events: new, replaced, unchanged, obsolete.
    std::intptr_t GetCount(int code) const;

private:
    void OnEvent(int code, std::intptr_t value);
    void Show(bool force);
    void ReadJob();

    CTbmConsole& m_console;
    const bool m_bTerminal;
    const std::size_t m_columns;
    mutable std::mutex m_mutex;
    std::string m_phase;
    std::string m_current;
    std::string m_lastPlainName;
    std::uint64_t m_done = 0;
    std::uint64_t m_total = 0;
    std::uint64_t m_scanned = 0;
    // The engine's progress object, read whenever the display is drawn; it lives as
    // long as the engine.
    const CBackupProgress* m_pJob = nullptr;
    std::intptr_t m_counts[4] = {0, 0, 0, 0};
    int m_endCode = -1;
    std::intptr_t m_failed = 0;
    bool m_bUnreadable = false;
    bool m_lineOpen = false;
    std::chrono::steady_clock::time_point m_phaseStart;
    std::chrono::steady_clock::time_point m_lastShown;
};
