// The verification run: tests every entry of the job's output file.
#include "BackupManger.h"

#include "Notify.h"
#include "ProjectData.h"
#include "Prompt.h"
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

int CBackupManger::Verify(CNotify* notify)
{
    JoinWorker();
    m_Report.SetPlaceholder(CHtmlReport::kBackupVer);
    Close();
    m_Archive.SetCallback(&m_Progress, CZipProgressCallback::CbAll);
    m_Archive.GetStorage().m_pDiskCallback = &m_DiskCallback;
    m_Progress.m_pOwner = this;
    m_Progress.m_pNotify = notify;
    m_Progress.m_RunningEvent.Set();
    StartWorker([this] { VerifyRun(); });
    return 0;
}

bool CBackupManger::OpenForVerify(const std::string& path)
{
    try {
        m_Archive.SetBuffers(kWriteBuffer, kGeneralBuffer, kSearchBuffer);
        m_Archive.Open(path, CZipContainer::ArcOpenReadOnly, m_Settings.m_nVolumeSize);
        return true;
    } catch (const std::exception& e) {
        const auto* zip = dynamic_cast<const CZipException*>(&e);
        if (zip && zip->GetCause() == CZipException::ErrBadPassword)
            Prompt().MessageBox("Request password", MB_OK | MB_ICONINFORMATION);
        m_Report.WriteException(e);
        Prompt().MessageBox(e.what(), MB_OK | MB_ICONERROR);
        LogResource(kTextVerifyStopped);
        return false;
    }
}

// Reads the names first, so that the strings code 15 points at live as long as the
// run. False when the user stopped the run meanwhile.
bool CBackupManger::ReadEntryNames(std::uint64_t& sum)
{
    m_VerifyNames.clear();
    sum = 0;
    const std::size_t count = m_Archive.GetCount();
    m_VerifyNames.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        CZipEntryHeader header;
        m_Archive.GetFileInfo(header, static_cast<int>(i));
        m_VerifyNames.push_back(header.m_fileName);
        sum += header.m_uncompressedSize;
        if (i % kNameStep == 0 &&
            (!m_Progress.Callback(kNameStep) || m_Progress.m_CancelEvent.IsSet()))
            return false;
    }
    return true;
}

// Tests entry `index`. A damaged entry counts as a failure whether the test says
// false or throws (a CRC mismatch or a broken header throws); only an abort asked
// for by the user is not counted and stops the run. False: stop.
bool CBackupManger::TestOne(int index, std::uint32_t& failures, bool& passed)
{
    const std::string& name = m_VerifyNames[static_cast<std::size_t>(index)];
    PostEvent(notify::kVerifyName, reinterpret_cast<std::intptr_t>(name.c_str()));
    m_Progress.m_processed = 0;
    passed = false;
    try {
        passed = m_Archive.TestFile(index, kTestBuffer);
    } catch (const CZipException& e) {
        if (IsAbort(e.GetCause()))
            return false;
        m_Report.WriteException(e);
    } catch (const std::exception& e) {
        m_Report.WriteException(e);
    }
    if (!passed) {
        CZipEntryHeader header;
        m_Archive.GetFileInfo(header, index);
        m_Progress.m_total = header.m_uncompressedSize;
        LogResource(kTextFailedTest, name);
        ++failures;
    }
    return true;
}

bool CBackupManger::TestEntries(std::uint32_t& failures)
{
    for (std::size_t i = 0; i < m_VerifyNames.size(); ++i) {
        bool passed = false;
        if (!TestOne(static_cast<int>(i), failures, passed))
            return false;
        CZipEntryHeader header;
        m_Archive.GetFileInfo(header, static_cast<int>(i));
        const std::uint32_t done = m_Progress.m_processed;
        const std::uint32_t size = header.m_uncompressedSize;
        if (!m_Progress.Callback(size > done ? static_cast<int>(size - done) : 0))
            return false;
        if (passed && m_Progress.m_StopEvent.IsSet())
            return false;
    }
    return true;
}

// Every way out of a verification ends with 16 or 17, so the window always learns
// that the run is over; a stopped run reports the failures found so far.
void CBackupManger::EndVerify(bool stopped, std::uint32_t failures)
{
    if (stopped) {
        m_Report.WriteLine("");
        LogResource(kTextVerifyStopped);
    }
    Close();
    if (stopped) {
        PostEvent(notify::kVerifyEnded, failures);
    } else if (failures > 0) {
        LogResource(kTextVerifyFailures);
        PostEvent(notify::kVerifyEnded, failures);
    } else {
        LogResource(kTextVerifyPassed);
        PostEvent(notify::kVerifyPassed, 0);
    }
    m_Report.SaveBackupReport();
    m_Progress.End();
}

void CBackupManger::VerifyRun()
{
    m_Progress.Begin(0);
    m_Progress.m_type = CBackupProgress::kPreparing;
    m_Progress.PostProgress();
    const std::string path = g_ProjectData.GetOutputPath();
    LogResource(kTextVerifyStart);
    LogResource(kTextArchivePath, path);
    m_Report.WriteLine("");
    const bool opened = OpenForVerify(path);
    if (opened && !ApplyPassword())
        Close();
    if (m_Archive.IsClosed()) {
        PostEvent(notify::kVerifyEnded, notify::kVerifyUnreadable);
        m_Report.SaveBackupReport();
        m_Progress.End();
        return;
    }
    LogResource(kTextEntryCount, std::to_string(m_Archive.GetCount()));
    std::uint64_t sum = 0;
    std::uint32_t failures = 0;
    if (!ReadEntryNames(sum)) {
        EndVerify(true, failures);
        return;
    }
    m_Progress.End();
    m_Progress.m_RunningEvent.Set();
    const bool stopped = !BeginStage(sum) || !TestEntries(failures);
    EndVerify(stopped, failures);
}
