#pragma once

#include "FileCheck.h"
#include "Prompt.h"

#include <string>
#include <vector>

class CHtmlReport;
class CNotify;

// The file check of a backup: a file whose status or contents cannot be read, or
// that another program holds locked, is put to the user in the Skip/Retry/Cancel
// prompt, with the question and the answer written into the report. A file that may
// be taken is shown to the collection window (scanning message).
class CBackupMangerFileCheck : public CFileCheck
{
public:
    // The style of the Skip/Retry/Cancel question; its answers are IDSKIPFILE,
    // IDRETRYFILE or anything else for cancel.
    static constexpr unsigned kPromptStyle = MB_SKIPRETRYCANCEL | MB_ICONWARNING;

    explicit CBackupMangerFileCheck(CHtmlReport& report) : m_Report(report) {}

    int CheckFile(const std::string& path) override;
    int CheckKnownFile(const std::string& path, const struct stat& status) override;
    // Asks about `path` that failed with result code `code`; returns the answer.
    int AskUser(const std::string& path, int code);

    void SetScanNotify(CNotify* notify) { m_pScanNotify = notify; }
    // The files the user (or an unattended run) chose to skip since the last clear:
    // they are not in the backup, and the run must not look like a full success.
    const std::vector<std::string>& GetSkipped() const { return m_Skipped; }
    void ClearSkipped() { m_Skipped.clear(); }

private:
    // 0 when the file can be read; else the result code saying why not.
    static int ProbeFile(const std::string& path);
    static int ProbeFile(const std::string& path, const struct stat& status);
    int Checked(const std::string& path, int code);
    void PostScanning(const std::string& path) const;

    CHtmlReport& m_Report;
    CNotify* m_pScanNotify = nullptr;
    std::vector<std::string> m_Skipped;
};
