#pragma once

#include <cstdint>
#include <string>

class CBackupProgress;
class CHtmlReport;
class CZipContainer;

// What every run on the worker thread shares: it writes lines into the job's report
// and tells the window through the progress object's notify.
class CJobRun
{
public:
    CJobRun(CHtmlReport& report, CBackupProgress& progress) : m_report(report), m_progress(progress)
    {
    }
    virtual ~CJobRun() = default;
    CJobRun(const CJobRun&) = delete;
    CJobRun& operator=(const CJobRun&) = delete;

protected:
    void PostEvent(int code, std::intptr_t value);
    void LogResource(unsigned id);
    void LogResource(unsigned id, const std::string& insert);
    // Sets the job's password and encryption method on `archive`; false (with text
    // 201 in the report) when the archive refuses the password.
    bool ApplyPassword(CZipContainer& archive);
    // Starts a stage of `total` bytes; false when a cancel or stop has arrived.
    bool BeginStage(std::uint64_t total);
    // Cancel or stop was asked for.
    bool StopRequested() const;

    CHtmlReport& m_report;
    CBackupProgress& m_progress;
};
