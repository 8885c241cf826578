// The bridges between the engine's threads and the GUI thread: a worker that floods
// the notify with progress while posting events, questions asked from a worker while
// the GUI thread is busy cancelling it, and a real collection and backup run driven
// the way the pages drive them, each ending with its last message.
#include "QtNotify.h"
#include "BackupTestFixture.h"
#include "QtPrompt.h"
#include "RestoreNotify.h"
#include "UiDialogs.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// What the GUI thread received, in order: events as "code:value:text", the others by
// name.
struct CReceived
{
    explicit CReceived(CQtNotify& notify)
    {
        QObject::connect(&notify, &CQtNotify::progress, [this](const CProgressSnapshot& s) {
            if (s.jobDone < lastProgress.jobDone)
                progressWentBack = true;
            lastProgress = s;
            newActions += s.newAction ? 1 : 0;
            ++progressCount;
        });
        QObject::connect(&notify, &CQtNotify::engineEvent,
                         [this](int code, qintptr value, const QString& text) {
                             log.push_back(std::to_string(code) + ":" + std::to_string(value) +
                                           ":" + text.toStdString());
                         });
        QObject::connect(&notify, &CQtNotify::scanning, [this](const QString& path) {
            log.push_back("scan " + path.toStdString());
        });
        QObject::connect(&notify, &CQtNotify::collectDone, [this] { log.push_back("collected"); });
        QObject::connect(&notify, &CQtNotify::collectEnded, [this](int code) {
            log.push_back("collect end " + std::to_string(code));
        });
        QObject::connect(&notify, &CQtNotify::workerEnded, [this] { log.push_back("end"); });
    }
    std::vector<std::string> log;
    CProgressSnapshot lastProgress;
    int progressCount = 0;
    int newActions = 0;
    bool progressWentBack = false;
};

std::intptr_t Pointer(const void* p)
{
    return reinterpret_cast<std::intptr_t>(p);
}

} // namespace

TEST(QtNotifyTest, AFloodOfProgressKeepsEventsInOrderAndCopiesWhatTheyPointAt)
{
    CQtNotify notify;
    CReceived received(notify);
    CBackupProgress progress;
    progress.m_RunningEvent.Set();
    constexpr int kPosts = 100000;
    constexpr int kEvery = 250;

    notify.WorkerStarted();
    std::thread worker([&] {
        std::string path;
        for (int i = 0; i < kPosts; ++i) {
            progress.m_type = CZipProgressCallback::CbAdd;
            progress.m_qwJobTotal = kPosts;
            progress.m_qwJobDone = static_cast<std::uint64_t>(i) + 1;
            if (i % 10000 == 0)
                progress.m_nNewAction = 1;
            notify.post(notify::kProgress, reinterpret_cast<std::uintptr_t>(&progress), 0);
            if (i % kEvery != 0)
                continue;
            // The path is only valid while the worker holds it: it changes at once.
            path = "file " + std::to_string(i);
            notify.post(notify::kEvent, notify::kFilePath, Pointer(path.c_str()));
            path.assign(path.size(), '#');
            notify.post(notify::kEvent, notify::kFileNumber, i);
            char* scanned = new char[16];
            std::snprintf(scanned, 16, "scan%d", i);
            notify.post(notify::kScanning, 0, Pointer(scanned));
            notify.post(notify::kEvent, notify::kRestoreSection,
                        Pointer(new std::string("section " + std::to_string(i))));
        }
        notify.post(notify::kEvent, notify::kBackupDone, 0);
        notify.post(notify::kWorkerEnded, 0, 0);
    });
    notify.WaitForWorkerEnd();
    worker.join();

    std::vector<std::string> expected;
    for (int i = 0; i < kPosts; i += kEvery) {
        const std::string n = std::to_string(i);
        expected.push_back("12:0:file " + n);
        expected.push_back("13:" + n + ":");
        expected.push_back("scan scan" + n);
        expected.push_back("4:0:section " + n);
    }
    expected.push_back("10:0:");
    expected.push_back("end");
    EXPECT_EQ(received.log, expected);
    EXPECT_EQ(received.lastProgress.jobDone, static_cast<std::uint64_t>(kPosts));
    EXPECT_FALSE(received.progressWentBack);
    EXPECT_GE(received.newActions, 1);
    EXPECT_EQ(notify.Pending(), 0u);
    EXPECT_FALSE(notify.IsWorkerRunning());

    // Progress waiting behind progress is one update; an event in between keeps the
    // updates on either side of it apart.
    received.progressCount = 0;
    const auto postProgress = [&](std::uint64_t done) {
        progress.m_qwJobDone = done;
        notify.post(notify::kProgress, reinterpret_cast<std::uintptr_t>(&progress), 0);
    };
    for (std::uint64_t done = 1; done <= 1000; ++done)
        postProgress(done);
    notify.post(notify::kEvent, notify::kFileNumber, 7);
    postProgress(1001);
    postProgress(1002);
    EXPECT_EQ(notify.Pending(), 3u);
    for (int round = 0; round < 10 && notify.Pending() > 0; ++round)
        QCoreApplication::processEvents();
    EXPECT_EQ(received.progressCount, 2);
    EXPECT_EQ(received.lastProgress.jobDone, 1002u);

    // A bar holds an int: past it, the values are hundredths of a percent.
    constexpr std::uint64_t kFiveGiB = 5ull << 30;
    EXPECT_EQ(CProgressSnapshot::Range(kFiveGiB), CProgressSnapshot::kScaledRange);
    EXPECT_EQ(CProgressSnapshot::Position(kFiveGiB / 2, kFiveGiB), 5000);
    EXPECT_EQ(CProgressSnapshot::Position(kFiveGiB + 1, kFiveGiB), 10000);
    EXPECT_EQ(CProgressSnapshot::Position(123, 1000), 123);
}

TEST(QtNotifyTest, AWorkerAsksOnTheGuiThreadAlsoWhileTheGuiCancelsIt)
{
    CQtNotify notify;
    CReceived received(notify);
    CQtPrompt prompt;
    SetPrompt(&prompt);
    const std::thread::id gui = std::this_thread::get_id();
    std::vector<std::string> asked;
    const auto answer = [&](int value) {
        return [&, value](CUiDialogs::Request& request) {
            asked.push_back(request.text);
            EXPECT_EQ(std::this_thread::get_id(), gui);
            return value;
        };
    };
    CUiDialogs::QueueAnswer(answer(IDRETRY));
    CUiDialogs::QueueAnswer(answer(IDYES));

    std::atomic<bool> cancel{false};
    std::atomic<int> first{0};
    std::atomic<int> second{0};
    notify.WorkerStarted();
    std::thread worker([&] {
        first = Prompt().MessageBox("Retry the file?", MB_RETRYCANCEL);
        notify.post(notify::kEvent, notify::kFileNumber, 1);
        while (!cancel)
            std::this_thread::sleep_for(1ms);
        // Asked while the GUI thread waits for this worker to end.
        second = Prompt().MessageBox("Keep what was added?", MB_YESNO);
        notify.post(notify::kEvent, notify::kBackupFailed, 0);
        notify.post(notify::kWorkerEnded, 0, 0);
    });
    bool joined = false;
    QObject::connect(&notify, &CQtNotify::engineEvent, [&](int code, qintptr, const QString&) {
        if (code != notify::kFileNumber)
            return;
        // What the Cancel button does.
        notify.CancelAndWait([&] { cancel = true; },
                             [&] {
                                 worker.join();
                                 joined = true;
                             });
    });
    notify.WaitForWorkerEnd();
    SetPrompt(nullptr);

    ASSERT_TRUE(joined);
    EXPECT_EQ(first, IDRETRY);
    EXPECT_EQ(second, IDYES);
    EXPECT_EQ(asked, (std::vector<std::string>{"Retry the file?", "Keep what was added?"}));
    EXPECT_EQ(received.log, (std::vector<std::string>{"13:1:", "11:0:", "end"}));
    EXPECT_EQ(CUiDialogs::PendingAnswers(), 0u);
}

namespace {

// Forwards to the GUI's notify; on the way it can stop a collection at its first
// file, or hold the worker at one file until the window has asked it to stop, so
// that the window's cancel always lands in the middle of the run.
class CSteeringNotify : public CNotify
{
public:
    CSteeringNotify(CQtNotify& gui, CBackupManger& engine) : m_gui(gui), m_engine(engine) {}
    void post(unsigned message, std::uintptr_t first, std::intptr_t second) override
    {
        m_gui.post(message, first, second);
        if (message == notify::kScanning && stopCollection)
            m_engine.RequestCancelCollect();
        if (message == notify::kEvent && first == notify::kFileNumber && second == holdAt)
            m_engine.GetProgress().m_CancelEvent.WaitFor(20s);
    }
    bool stopCollection = false;
    std::intptr_t holdAt = -1;

private:
    CQtNotify& m_gui;
    CBackupManger& m_engine;
};

class QtNotifyBackupTest : public backuptest::BackupMangerTest
{
};

} // namespace

TEST_F(QtNotifyBackupTest, CollectionAndRunEndWithTheirLastMessageAlsoWhenCancelled)
{
    for (int i = 0; i < 600; ++i) {
        const std::string name = "f" + std::to_string(i);
        m_pSource->m_Files.emplace_back(MakeFile(name, backuptest::Noise(3000, i)), "F\\" + name);
    }
    CQtNotify gui;
    CSteeringNotify notify(gui, m_engine);
    CReceived received(gui);

    notify.stopCollection = true;
    m_engine.StartCollect(&notify);
    gui.CollectStarted();
    gui.WaitForCollectEnd();
    ASSERT_EQ(m_engine.WaitCollect(), result::kAbortScan);
    EXPECT_EQ(received.log.back(), "collect end " + std::to_string(result::kAbortScan));
    EXPECT_EQ(std::count(received.log.begin(), received.log.end(), "collected"), 0);

    notify.stopCollection = false;
    received.log.clear();
    m_engine.StartCollect(&notify);
    gui.CollectStarted();
    gui.WaitForCollectEnd();
    ASSERT_EQ(m_engine.WaitCollect(), result::kSuccess);
    ASSERT_GE(received.log.size(), 2u);
    EXPECT_EQ(received.log[received.log.size() - 2], "collected");
    EXPECT_EQ(received.log.back(), "collect end 0");
    ASSERT_EQ(m_engine.WriteCatalogue(), 1);

    // The window cancels when file 300 shows, and waits for the worker's end.
    received.log.clear();
    notify.holdAt = 300;
    bool reportAtEnd = false;
    QObject::connect(&gui, &CQtNotify::engineEvent, [&](int code, qintptr value, const QString&) {
        if (code == notify::kFileNumber && value == 300)
            gui.CancelAndWait([&] { m_engine.RequestCancel(); }, [&] { m_engine.WaitForWorker(); });
    });
    QObject::connect(&gui, &CQtNotify::workerEnded, [&] {
        reportAtEnd = std::filesystem::exists(CHtmlReport::GetBackupReportPath());
    });
    ASSERT_EQ(m_engine.StartBackup(&notify), 0);
    gui.WorkerStarted();
    gui.WaitForWorkerEnd();
    m_engine.WaitForWorker();

    ASSERT_FALSE(received.log.empty());
    EXPECT_EQ(received.log.back(), "end");
    EXPECT_NE(std::find(received.log.begin(), received.log.end(), "11:0:"), received.log.end());
    EXPECT_EQ(std::find(received.log.begin(), received.log.end(), "10:0:"), received.log.end());
    EXPECT_TRUE(reportAtEnd);
    EXPECT_NE(m_engine.GetLastRun().kind, RunEnding::kFinished);
    EXPECT_FALSE(gui.IsWorkerRunning());
}
