#include "TbmProgress.h"

#include "BackupProgress.h"
#include "TbmConsole.h"
#include "TbmProgressText.h"
#include "TbmTerminalText.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kTerminalInterval = std::chrono::milliseconds(100);
constexpr auto kPlainInterval = std::chrono::seconds(3);

} // namespace

CTbmProgress::CTbmProgress(CTbmConsole& console, bool terminal, std::size_t columns)
    : m_console(console), m_bTerminal(terminal), m_columns(columns < 20 ? 20 : columns),
      m_phaseStart(Clock::now()), m_lastShown(Clock::now() - std::chrono::hours(1))
{
}

void CTbmProgress::post(unsigned message, std::uintptr_t first, std::intptr_t second)
{
    std::lock_guard lock(m_mutex);
    switch (message) {
    case notify::kScanning:
        // The heap copy of the path is ours to free.
        if (second != 0) {
            char* path = reinterpret_cast<char*>(second);
            m_current = CTbmTerminalText::Escape(path);
            delete[] path;
        }
        ++m_scanned;
        if (m_bTerminal && Clock::now() - m_lastShown >= kTerminalInterval) {
            m_lastShown = Clock::now();
            m_console.Write("\r" +
                            CTbmProgressText::Shorten("Scanning " + std::to_string(m_scanned) +
                                                          " files: " + m_current,
                                                      m_columns - 1) +
                            "\x1b[K");
            m_lineOpen = true;
        }
        break;
    case notify::kProgress:
        if (first != 0)
            m_pJob = reinterpret_cast<const CBackupProgress*>(first);
        Show(false);
        break;
    case notify::kEvent:
        OnEvent(static_cast<int>(first), second);
        break;
    default:
        break;
    }
}

void CTbmProgress::OnEvent(int code, std::intptr_t value)
{
    switch (code) {
    case notify::kObsoleteCount:
    case notify::kAddedCount:
    case notify::kReplacedCount:
    case notify::kUnchangedCount:
        m_counts[code] = value;
        break;
    case notify::kFilePath:
    case notify::kVerifyName:
        // The text lives as long as the job; we keep our own copy, made safe to show.
        m_current =
            value != 0 ? CTbmTerminalText::Escape(reinterpret_cast<const char*>(value)) : "";
        Show(false);
        break;
    case notify::kBackupDone:
    case notify::kBackupFailed:
    case notify::kVerifyPassed:
        m_endCode = code;
        Show(true);
        break;
    case notify::kVerifyEnded:
        m_endCode = code;
        m_bUnreadable = value == notify::kVerifyUnreadable;
        m_failed = m_bUnreadable ? 0 : value;
        Show(true);
        break;
    default:
        break;
    }
}

void CTbmProgress::ReadJob()
{
    if (!m_pJob)
        return;
    const std::uint64_t total = m_pJob->m_qwJobTotal;
    if (total != m_total) {
        m_total = total;
        m_phaseStart = Clock::now();
    }
    m_done = m_pJob->m_qwJobDone;
}

void CTbmProgress::Show(bool force)
{
    ReadJob();
    const Clock::time_point now = Clock::now();
    const double seconds = std::chrono::duration<double>(now - m_phaseStart).count();
    if (m_bTerminal) {
        if (!force && now - m_lastShown < kTerminalInterval)
            return;
        m_lastShown = now;
        const std::string line =
            CTbmProgressText::Line(m_current, m_done, m_total, seconds, m_columns - 1);
        m_console.Write("\r" + line + "\x1b[K");
        m_lineOpen = true;
        return;
    }
    // Plain lines: a new file is worth a line, but no more often than the interval,
    // and a long file gets one now and then.
    // The command writes its own closing lines.
    const bool newFile = m_current != m_lastPlainName;
    if (force || !newFile || now - m_lastShown < kPlainInterval)
        return;
    m_lastShown = now;
    m_lastPlainName = m_current;
    const unsigned percent =
        m_total == 0 ? 0 : static_cast<unsigned>(m_done >= m_total ? 100 : m_done * 100 / m_total);
    m_console.Write(m_phase + ": " + std::to_string(percent) + "% " +
                    CTbmProgressText::Bytes(m_done) + "/" + CTbmProgressText::Bytes(m_total) + " " +
                    m_current + "\n");
}

void CTbmProgress::Finish()
{
    std::lock_guard lock(m_mutex);
    if (m_lineOpen)
        m_console.Write("\n");
    m_lineOpen = false;
}

void CTbmProgress::SetPhase(const std::string& phase)
{
    std::lock_guard lock(m_mutex);
    m_phase = phase;
    m_current.clear();
    m_lastPlainName.clear();
    m_done = 0;
    m_total = 0;
    m_endCode = -1;
    m_bUnreadable = false;
    m_phaseStart = Clock::now();
}

int CTbmProgress::GetEndCode() const
{
    std::lock_guard lock(m_mutex);
    return m_endCode;
}

std::intptr_t CTbmProgress::GetFailedCount() const
{
    std::lock_guard lock(m_mutex);
    return m_failed;
}

bool CTbmProgress::IsArchiveUnreadable() const
{
    std::lock_guard lock(m_mutex);
    return m_bUnreadable;
}

std::intptr_t CTbmProgress::GetCount(int code) const
{
    std::lock_guard lock(m_mutex);
    return code >= 0 && code < 4 ? m_counts[code] : 0;
}
