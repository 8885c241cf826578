#pragma once

#include "TvEvent.h"
#include "ZipProgressCallback.h"

#include <atomic>
#include <cstdint>

class CBackupManger;
class CNotify;

// The progress of a backup, update, synchronise or verification run: the archive
// reports into it, the window reads it when a progress message arrives, and the
// user interface stops or cancels the run through its events.
//
// Job totals are 64-bit: a backup of more than 4 GiB in all is common even though
// every single entry stays below 4 GiB.
class CBackupProgress : public CZipProgressCallback
{
public:
    // The type while a job prepares (gathers its files, reads entry names).
    static constexpr int kPreparing = 2048;

    bool Callback(int bytes) override;
    // Reports `bytes` done, in pieces the callback's int can hold.
    bool Advance(std::uint64_t bytes);
    void CallbackEnd() override;

    // Starts a new run over `total` bytes; clears stop and cancel. Called before the
    // run's thread starts, never from inside a run.
    void Begin(std::uint64_t total);
    // Starts the next part or stage of a run that goes on: a stop or cancel asked for
    // before stays, so that it ends the run.
    void BeginPart(std::uint64_t total);
    // The run has ended: the running event goes down and the window is told.
    void End();
    // Asks the run to stop at the next callback and waits until it has ended.
    void CancelAndWait();
    // Posts the progress message, when there is a window to tell.
    void PostProgress();

    // True for the types whose progress belongs to one action (the window shows the
    // action's own range), not to the job.
    static bool IsActionType(int type);

    std::atomic<int> m_nNewAction{0};
    std::atomic<std::uint64_t> m_qwJobDone{0};
    std::atomic<std::uint64_t> m_qwJobTotal{0};
    CBackupManger* m_pOwner = nullptr;
    CTvEvent m_RunningEvent;
    CTvEvent m_StopEvent;
    CTvEvent m_CancelEvent;
    CNotify* m_pNotify = nullptr;
};
