#include "ProgressSnapshot.h"

#include "BackupProgress.h"

CProgressSnapshot CProgressSnapshot::Take(CBackupProgress& progress)
{
    CProgressSnapshot snapshot;
    snapshot.running = progress.m_RunningEvent.IsSet();
    snapshot.type = progress.m_type;
    snapshot.newAction = progress.m_nNewAction.exchange(0) != 0;
    snapshot.actionTotal = progress.m_total;
    snapshot.actionDone = progress.m_processed;
    snapshot.jobTotal = progress.m_qwJobTotal;
    snapshot.jobDone = progress.m_qwJobDone;
    return snapshot;
}

void CProgressSnapshot::Merge(const CProgressSnapshot& later)
{
    const bool anyNewAction = newAction || later.newAction;
    *this = later;
    newAction = anyNewAction;
}
