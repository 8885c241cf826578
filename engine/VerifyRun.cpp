// The verification run: tests every entry of the job's output file.
#include "VerifyRun.h"

#include "ArchiveOpenSettings.h"
#include "BackupProgress.h"
#include "HtmlReport.h"
#include "Notify.h"
#include "ProjectData.h"
#include "ProgressCatchUp.h"
#include "Prompt.h"
#include "ZipContainer.h"
#include "ZipEntryWorkers.h"
#include "ZipException.h"


namespace {

constexpr unsigned kTextFailedTest = 190;
constexpr unsigned kTextEntryCount = 191;
constexpr unsigned kTextVerifyStart = 192;
constexpr unsigned kTextVerifyStopped = 193;
constexpr unsigned kTextArchivePath = 194;
constexpr unsigned kTextVerifyPassed = 195;
constexpr unsigned kTextVerifyFailures = 196;
constexpr std::uint32_t kTestBuffer = 65536;
constexpr int kNameStep = CZipProgressCallback::CallbackStep;

bool IsAbort(int cause)
{
    return cause == CZipException::ErrAborted || cause == CZipException::ErrAbortedSafely;
}

} // namespace

CVerifyRun::CVerifyRun(CHtmlReport& report, CBackupProgress& progress, CZipContainer& archive,
                       int volumeSize, std::vector<std::string>& names)
    : CJobRun(report, progress), m_archive(archive), m_volumeSize(volumeSize), m_names(names)
{
}

bool CVerifyRun::Open(const std::string& path)
{
    try {
        m_archive.SetBuffers(ArchiveBuffers::kWrite, ArchiveBuffers::kGeneral,
                            ArchiveBuffers::kSearch);
        m_archive.Open(path, CZipContainer::ArcOpenReadOnly, m_volumeSize);
        return true;
    } catch (const std::exception& e) {
        const auto* zip = dynamic_cast<const CZipException*>(&e);
        if (zip && zip->GetCause() == CZipException::ErrBadPassword)
            Prompt().MessageBox("Request password", MB_OK | MB_ICONINFORMATION);
        m_report.WriteException(e);
        Prompt().MessageBox(e.what(), MB_OK | MB_ICONERROR);
        LogResource(kTextVerifyStopped);
        return false;
    }
}

// Reads the names first, so that the strings code 15 points at live as long as the
// run. False when the user stopped the run meanwhile.
bool CVerifyRun::ReadEntryNames(std::uint64_t& sum)
{
    m_names.clear();
    sum = 0;
    const std::size_t count = m_archive.GetCount();
    m_names.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        CZipEntryHeader header;
        m_archive.GetFileInfo(header, static_cast<int>(i));
        m_names.push_back(header.m_fileName);
        sum += header.m_uncompressedSize;
        if (i % kNameStep == 0 &&
            (!m_progress.Callback(kNameStep) || m_progress.m_CancelEvent.IsSet()))
            return false;
    }
    return true;
}

// The verdict on entry `index`. A damaged entry counts as a failure whether the
// test said false or threw (a CRC mismatch or a broken header throws); only an
// abort asked for by the user is not counted and stops the run. False: stop.
bool CVerifyRun::Judge(int index, const CZipEntryWorkers::Result& result, std::uint32_t& failures)
{
    const std::string& name = m_names[static_cast<std::size_t>(index)];
    PostEvent(notify::kVerifyName, reinterpret_cast<std::intptr_t>(name.c_str()));
    if (result.error) {
        try {
            std::rethrow_exception(result.error);
        } catch (const CZipException& e) {
            if (IsAbort(e.GetCause()))
                return false;
            m_report.WriteException(e);
        } catch (const std::exception& e) {
            m_report.WriteException(e);
        }
    }
    if (!result.ok) {
        LogResource(kTextFailedTest, name);
        ++failures;
    }
    return true;
}

// The entries are tested on the job's threads and judged in order. The progress
// hears of the bytes as they are tested, and is brought up to the end of each entry
// judged, so a failed entry still counts as done.
bool CVerifyRun::TestEntries(std::uint32_t& failures)
{
    const std::string path = m_archive.GetArchivePath();
    const std::string password = m_archive.GetPassword();
    CZipEntryWorkers workers(m_archive, g_ProjectData.m_dwThreads,
                             [this, &path, &password](CZipContainer& archive) {
                                 archive.SetBuffers(ArchiveBuffers::kWrite, ArchiveBuffers::kGeneral,
                                                    ArchiveBuffers::kSearch);
                                 archive.Open(path, CZipContainer::ArcOpenReadOnly, m_volumeSize);
                                 archive.SetPassword(password);
                             });
    CProgressCatchUp progress(m_progress);
    return workers.Run(
        CZipEntryWorkers::Indexes(m_names.size()),
        [](CZipContainer& archive, int index) { return archive.TestFile(index, kTestBuffer); },
        [&](int index, const CZipEntryWorkers::Result& result) {
            if (!Judge(index, result, failures))
                return false;
            CZipEntryHeader header;
            m_archive.GetFileInfo(header, index);
            if (!progress.Finished(header.m_uncompressedSize))
                return false;
            return !(result.ok && m_progress.m_StopEvent.IsSet());
        },
        [&](std::uint64_t bytes) { return progress.Add(bytes); });
}

// Every way out of a verification ends with 16 or 17, so the window always learns
// that the run is over; a stopped run reports the failures found so far.
void CVerifyRun::End(bool stopped, std::uint32_t failures)
{
    if (stopped) {
        m_report.WriteLine("");
        LogResource(kTextVerifyStopped);
    }
    CloseArchive();
    if (stopped) {
        PostEvent(notify::kVerifyEnded, failures);
    } else if (failures > 0) {
        LogResource(kTextVerifyFailures);
        PostEvent(notify::kVerifyEnded, failures);
    } else {
        LogResource(kTextVerifyPassed);
        PostEvent(notify::kVerifyPassed, 0);
    }
    m_report.SaveBackupReport();
    m_progress.End();
}

void CVerifyRun::Run()
{
    m_progress.BeginPart(0);
    m_progress.m_type = CBackupProgress::kPreparing;
    m_progress.PostProgress();
    const std::string path = g_ProjectData.GetOutputPath();
    LogResource(kTextVerifyStart);
    LogResource(kTextArchivePath, path);
    m_report.WriteLine("");
    const bool opened = Open(path);
    if (opened && !ApplyPassword(m_archive))
        CloseArchive();
    if (m_archive.IsClosed()) {
        PostEvent(notify::kVerifyEnded, notify::kVerifyUnreadable);
        m_report.SaveBackupReport();
        m_progress.End();
        return;
    }
    LogResource(kTextEntryCount, std::to_string(m_archive.GetCount()));
    std::uint64_t sum = 0;
    std::uint32_t failures = 0;
    if (!ReadEntryNames(sum)) {
        End(true, failures);
        return;
    }
    m_progress.End();
    m_progress.m_RunningEvent.Set();
    const bool stopped = !BeginStage(sum) || !TestEntries(failures);
    End(stopped, failures);
}

// Read only: nothing is written, and an error closing changes nothing.
void CVerifyRun::CloseArchive()
{
    try {
        m_archive.Close(CZipContainer::CloseAfterException, false);
    } catch (const std::exception&) {
        // The file was only read.
    }
}
