#include "BackupProgress.h"

#include "Notify.h"

#include <algorithm>

bool CBackupProgress::IsActionType(int type)
{
    return type == CbAddTemp || type == CbAddStore || type == CbDeleteCount || type == CbReplace;
}

bool CBackupProgress::Callback(int bytes)
{
    // Counting entries and writing the directory are stopped, not cancelled: the
    // archive can still be closed whole at that point.
    if (m_type == CbDeleteCount || m_type == CbSave || m_type == kPreparing) {
        if (m_StopEvent.IsSet())
            return false;
    } else {
        if (m_CancelEvent.IsSet())
            return false;
        if (!IsActionType(m_type) && bytes > 0)
            m_qwJobDone += static_cast<std::uint64_t>(bytes);
    }
    PostProgress();
    return true;
}

bool CBackupProgress::Advance(std::uint64_t bytes)
{
    constexpr std::uint64_t kPiece = 1u << 30;
    do {
        const std::uint64_t piece = std::min(bytes, kPiece);
        if (!Callback(static_cast<int>(piece)))
            return false;
        bytes -= piece;
    } while (bytes > 0);
    return true;
}

void CBackupProgress::CallbackEnd()
{
    // After an action with a range of its own the window goes back to the job's.
    if (IsActionType(m_type))
        m_nNewAction = 1;
}

void CBackupProgress::Begin(std::uint64_t total)
{
    BeginPart(total);
    m_StopEvent.Reset();
    m_CancelEvent.Reset();
}

void CBackupProgress::BeginPart(std::uint64_t total)
{
    m_qwJobTotal = total;
    m_qwJobDone = 0;
    m_type = 0;
    m_nNewAction = 1;
}

void CBackupProgress::End()
{
    m_RunningEvent.Reset();
    PostProgress();
    if (m_type == CbAddTemp || m_type == CbAddStore)
        m_type = CbAdd;
}

void CBackupProgress::CancelAndWait()
{
    m_CancelEvent.Set();
    m_RunningEvent.WaitReset();
}

void CBackupProgress::PostProgress()
{
    if (m_pNotify)
        m_pNotify->post(notify::kProgress, reinterpret_cast<std::uintptr_t>(this), 0);
}
