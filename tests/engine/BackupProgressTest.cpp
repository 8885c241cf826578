#include "BackupProgress.h"
#include "Notify.h"
#include "NotifyRecorder.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

struct CallbackCase
{
    const char* name;
    int type;
    bool stop;
    bool cancel;
    bool expectGoOn;
    std::uint64_t expectDone; // after reporting 100 bytes
};

class BackupProgressCallbackTest : public ::testing::TestWithParam<CallbackCase>
{
};

TEST_P(BackupProgressCallbackTest, StopCancelAndJobBytesFollowTheType)
{
    const CallbackCase& c = GetParam();
    CNotifyRecorder recorder;
    CBackupProgress progress;
    progress.m_pNotify = &recorder;
    progress.Begin(1000);
    progress.m_type = c.type;
    if (c.stop)
        progress.m_StopEvent.Set();
    if (c.cancel)
        progress.m_CancelEvent.Set();
    EXPECT_EQ(progress.Callback(100), c.expectGoOn);
    EXPECT_EQ(progress.m_qwJobDone.load(), c.expectDone);
    // A refused callback tells the window nothing; an accepted one posts progress.
    const auto messages = recorder.Messages();
    ASSERT_EQ(messages.size(), c.expectGoOn ? 1u : 0u);
    if (c.expectGoOn) {
        EXPECT_EQ(messages[0].message, notify::kProgress);
        EXPECT_EQ(messages[0].first, reinterpret_cast<std::uintptr_t>(&progress));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Types, BackupProgressCallbackTest,
    ::testing::Values(
        CallbackCase{"AddCounts", CZipProgressCallback::CbAdd, false, false, true, 100},
        CallbackCase{"TestCounts", CZipProgressCallback::CbTest, false, false, true, 100},
        CallbackCase{"TrialCopyIsOwnAction", CZipProgressCallback::CbAddTemp, false, false, true,
                     0},
        CallbackCase{"StoreIsOwnAction", CZipProgressCallback::CbAddStore, false, false, true, 0},
        CallbackCase{"ReplaceIsOwnAction", CZipProgressCallback::CbReplace, false, false, true, 0},
        CallbackCase{"AddCancelled", CZipProgressCallback::CbAdd, false, true, false, 0},
        CallbackCase{"AddIgnoresStop", CZipProgressCallback::CbAdd, true, false, true, 100},
        CallbackCase{"SaveStopped", CZipProgressCallback::CbSave, true, false, false, 0},
        CallbackCase{"SaveIgnoresCancel", CZipProgressCallback::CbSave, false, true, true, 0},
        CallbackCase{"DeleteCountStopped", CZipProgressCallback::CbDeleteCount, true, false, false,
                     0},
        CallbackCase{"PreparingStopped", CBackupProgress::kPreparing, true, false, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BackupProgressTest, BeginResetsTheRunAndEndTellsTheWindow)
{
    CNotifyRecorder recorder;
    CBackupProgress progress;
    progress.m_pNotify = &recorder;
    progress.m_StopEvent.Set();
    progress.m_CancelEvent.Set();
    progress.m_qwJobDone = 7;
    progress.Begin(5000000000ULL);
    EXPECT_EQ(progress.m_qwJobTotal.load(), 5000000000ULL); // beyond 32 bits
    EXPECT_EQ(progress.m_qwJobDone.load(), 0u);
    EXPECT_EQ(progress.m_nNewAction.load(), 1);
    EXPECT_FALSE(progress.m_StopEvent.IsSet());
    EXPECT_FALSE(progress.m_CancelEvent.IsSet());

    progress.m_RunningEvent.Set();
    progress.m_type = CZipProgressCallback::CbAddTemp;
    progress.End();
    EXPECT_FALSE(progress.m_RunningEvent.IsSet());
    EXPECT_EQ(progress.m_type, CZipProgressCallback::CbAdd);
    EXPECT_EQ(recorder.Messages().size(), 1u);
}

TEST(BackupProgressTest, CallbackEndSetsNewActionOnlyAfterActionsOfTheirOwn)
{
    CBackupProgress progress;
    for (const int type : {CZipProgressCallback::CbAddTemp, CZipProgressCallback::CbAddStore,
                           CZipProgressCallback::CbDeleteCount, CZipProgressCallback::CbReplace}) {
        progress.m_nNewAction = 0;
        progress.m_type = type;
        progress.CallbackEnd();
        EXPECT_EQ(progress.m_nNewAction.load(), 1) << type;
    }
    progress.m_nNewAction = 0;
    progress.m_type = CZipProgressCallback::CbAdd;
    progress.CallbackEnd();
    EXPECT_EQ(progress.m_nNewAction.load(), 0);
}

TEST(BackupProgressTest, CancelAndWaitReturnsOnceTheWorkerHasEnded)
{
    CBackupProgress progress;
    progress.Begin(0);
    progress.m_RunningEvent.Set();
    progress.m_type = CZipProgressCallback::CbAdd;
    std::thread worker([&progress] {
        while (progress.Callback(1)) {
            std::this_thread::yield();
        }
        progress.End();
    });
    progress.CancelAndWait();
    EXPECT_FALSE(progress.m_RunningEvent.IsSet());
    worker.join();
}

} // namespace
