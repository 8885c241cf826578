#pragma once

#include "ArchiveOpenSettings.h"
#include "AutoObArray.h"
#include "JobRun.h"
#include "RunEnding.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CAddInfo;
class CBackupProgress;
class CHtmlReport;
class CZipAddPipeline;
class CZipContainer;
class CZipException;
struct CZipAddInfo;
class CZipSafeSave;

// What a run works with: the engine's report, progress object and archive object,
// the open settings the medium chose, and the files of the run in order.
struct BackupRunParts
{
    CHtmlReport& report;
    CBackupProgress& progress;
    CZipContainer& archive;
    const ArchiveOpenSettings& settings;
    const CAutoObArray<CAddInfo>& files;
    RunEnding& ending; // filled as the run goes
};

// One normal backup run, and the frame of the update runs: the archive is written
// under a temporary name beside the job's output file and takes its place only once
// it is whole (CZipSafeSave). Whatever happens, the central directory is written
// and no cancel stops it; a run that fails leaves the previous backup as it was,
// and so does a cancelled one, unless there was none: then the archive of what was
// added is kept and the report calls it incomplete. Removable-disk spanning writes
// the disks directly, as there is no place to keep a second copy.
//
// Runs on the worker thread; posts its events through the progress object's notify.
class CBackupRun : public CJobRun
{
public:
    explicit CBackupRun(BackupRunParts parts);
    ~CBackupRun() override;

    // Runs to the end: the report is written and saved and the end posted.
    void Run();
protected:
    // Opens what the run reads besides the files (the update run's old archive);
    // false ends the run as failed.
    virtual bool OpenSources() { return true; }
    // Bytes the new archive needs beside the old one, at least.
    virtual std::uint64_t EstimateNeeded() const;
    // Writes the files; false when the run was stopped.
    virtual bool ProcessFiles();
    // True when nothing needs writing: the previous backup is left as it is.
    virtual bool IsUpToDate() const { return false; }
    virtual void CloseSources() {}

    // Reads and compresses `items` ahead on the job's threads; AddOne takes them
    // from there in the same order (items it is not called for are passed over).
    void StartPipeline(const std::vector<const CAddInfo*>& items);
    // Adds `item` as a new entry; true when added. `stop` is set when the run must
    // stop after it (cancel, or the archive itself failed).
    bool AddOne(const CAddInfo& item, bool& stop);
    // The file's unreported bytes go to the progress; false when the run must stop.
    bool ReportRemaining(const CAddInfo& item, bool clean, bool stop);
    void PostFileEvents(const CAddInfo& item, std::uint32_t number);
    bool TargetFailed() const { return m_targetFailed; }
    // The archive being written failed: the run ends and is not put in place.
    void MarkTargetFailed() { m_targetFailed = true; }
    void CountFailure(const std::string& path) { m_parts.ending.failedFiles.push_back(path); }
    // Lines for a run that found nothing to write.
    virtual void ReportUpToDate() {}

    BackupRunParts m_parts;

private:
    bool OpenSourcesSafely();
    bool OpenTarget();
    bool CheckFreeSpace();
    bool OpenArchive(const std::string& path);
    bool IsTargetError(const CZipException& error) const;
    void Finish(bool stopped);
    bool CloseArchive();
    bool Commit();
    void Fail();
    void EndRun(RunEnding::Kind kind);

    bool AddToArchive(const CAddInfo& item, const CZipAddInfo& info);

    std::unique_ptr<CZipSafeSave> m_save; // null when writing removable disks
    std::unique_ptr<CZipAddPipeline> m_pipeline;
    std::string m_writePath;
    bool m_volumeSet = false;
    bool m_hadPrevious = false;
    bool m_targetFailed = false;
    std::uint64_t m_totalBytes = 0; // of the files, as collected
};
