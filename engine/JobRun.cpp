#include "JobRun.h"

#include "BackupProgress.h"
#include "HtmlReport.h"
#include "Notify.h"
#include "ProjectData.h"
#include "ResourceLibrary.h"
#include "TextInserts.h"
#include "ZipContainer.h"

namespace {

constexpr unsigned kTextPasswordRefused = 201;

} // namespace

void CJobRun::PostEvent(int code, std::intptr_t value)
{
    if (m_progress.m_pNotify)
        m_progress.m_pNotify->post(notify::kEvent, static_cast<std::uintptr_t>(code), value);
}

void CJobRun::LogResource(unsigned id)
{
    m_report.WriteTextResource(id);
}

void CJobRun::LogResource(unsigned id, const std::string& insert)
{
    m_report.WriteLine(FillInserts(LoadResString(id), {insert}));
}

bool CJobRun::ApplyPassword(CZipContainer& archive)
{
    // Set on every run: the engine's archive object outlives runs of other jobs.
    archive.SetEncryption(g_ProjectData.GetEncryption() == CProjectData::kEncryptTraditional
                              ? CZipContainer::EncryptTraditional
                              : CZipContainer::EncryptAes256);
    const std::string& password = g_ProjectData.GetPassword();
    if (password.empty()) {
        // An empty password clears the one a run before this one left in the archive,
        // which would otherwise encrypt this job's backup with it.
        archive.SetPassword({});
        return true;
    }
    if (archive.SetPassword(password))
        return true;
    LogResource(kTextPasswordRefused);
    return false;
}

bool CJobRun::BeginStage(std::uint64_t total)
{
    m_progress.BeginPart(total);
    return !StopRequested();
}

bool CJobRun::StopRequested() const
{
    return m_progress.m_CancelEvent.IsSet() || m_progress.m_StopEvent.IsSet();
}
