#include "TvEvent.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

TEST(BackupEventTest, ManualResetStaysSetUntilReset)
{
    CTvEvent event;
    EXPECT_FALSE(event.IsSet());
    EXPECT_FALSE(event.WaitFor(std::chrono::milliseconds(0)));
    event.Set();
    EXPECT_TRUE(event.WaitFor(std::chrono::milliseconds(0)));
    EXPECT_TRUE(event.IsSet()); // a wait does not consume it
    event.Reset();
    EXPECT_FALSE(event.IsSet());
}

TEST(BackupEventTest, WaitersOnBothEdgesWake)
{
    CTvEvent event;
    std::thread setter([&event] { event.Set(); });
    event.Wait();
    setter.join();
    std::thread resetter([&event] { event.Reset(); });
    event.WaitReset();
    resetter.join();
    EXPECT_FALSE(event.IsSet());
}
