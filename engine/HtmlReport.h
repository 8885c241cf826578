#pragma once

#include "TextSink.h"

#include <string>

// The HTML report of a backup (with its verification) or a restore. It starts as a
// template from the page library and lines are inserted before a marker comment of
// the template: the current placeholder. A line is HTML-escaped as it goes in, so a
// file name such as "<script>..." shows as text; the template's own markup is kept.
class CHtmlReport : public CTextSink
{
public:
    static constexpr const char* kBackupTemplate = "report_reg_b.html";
    static constexpr const char* kRestoreTemplate = "report_reg_r.html";
    static constexpr const char* kBackupInfo = "<!--$BackupInfo$-->";
    static constexpr const char* kBackupSt = "<!--$BackupSt$-->";
    static constexpr const char* kBackupVer = "<!--$BackupVer$-->";
    static constexpr const char* kRestoreInfo = "<!--$RestoreInfo$-->";
    static constexpr const char* kRestoreSt = "<!--$RestoreSt$-->";
    static constexpr const char* kBackupReportName = "backup.html";
    static constexpr const char* kRestoreReportName = "Restore.html";

    // Replaces the text by the template + CR LF; only CR LF when it is missing.
    void LoadTemplate(const std::string& name);
    void SetPlaceholder(const std::string& marker);
    const std::string& GetPlaceholder() const { return m_strPlaceholder; }

    // Inserts the escaped line and "<br>" before the first occurrence of the
    // placeholder. Nothing happens without a placeholder, when the text does not hold
    // it, or for a null line.
    void WriteLine(const char* line) override;
    using CTextSink::WriteLine;

    // The job's header lines (ReportHeaders.cpp), from the current job.
    void BackupHeader();
    void RestoreHeader();

    // "backup.html" in the job folder, "Restore.html" in the application data folder,
    // every line end written as one CR LF. 1, or 0 with a status-log line.
    int SaveBackupReport() const;
    int SaveRestoreReport() const;
    // Opens the saved report with the desktop's viewer, when it exists.
    void ShowBackupReport() const;
    void ShowRestoreReport() const;

    static std::string GetBackupReportPath();
    static std::string GetRestoreReportPath();
    // The five characters with meaning in HTML, as entities.
    static std::string EscapeHtml(const std::string& text);
    // Every line end (CR LF, or a lone LF) as exactly one CR LF.
    static std::string WithCrLf(const std::string& text);

protected:
    void TextReplaced() override { m_nLastFound = 0; }

private:
    static int SaveReport(const std::string& path, const std::string& text);
    static void ShowReport(const std::string& path);

    std::string m_strPlaceholder;
    // Where the placeholder was last found: lines go in one after another, so the
    // next search starts there instead of at the top of a long report.
    std::size_t m_nLastFound = 0;
};
