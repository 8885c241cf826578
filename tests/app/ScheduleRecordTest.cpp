// The schedule's values in the "Schedule" key and the command line they make.
#include "Registry.h"
#include "ScheduleRecord.h"
#include "SystemTask.h"

#include <gtest/gtest.h>

TEST(ScheduleRecordTest, KeyRoundTripClampsTheWeekdayAndKeepsMissingValues)
{
    CRegistry reg(HKEY_CURRENT_USER);
    reg.DeleteValueKey(HKEY_CURRENT_USER, CScheduleRecord::kKey);
    CScheduleRecord record;
    record.LoadSchedule(); // no key: the initial values stay
    EXPECT_EQ(record.BuildCommandLine(), "-e -job \"\" ");

    record.m_strJobName = "Weekly Mail";
    record.m_nWeekDay = 0;
    record.m_nShowReport = 1;
    record.m_nValidate = 0;
    record.m_nExitWhenDone = 0;
    record.m_nOptionFour = 7;
    ASSERT_TRUE(record.SaveSchedule());
    CScheduleRecord read;
    read.LoadSchedule();
    EXPECT_EQ(read.BuildCommandLine(), "-e -job \"Weekly Mail\" -showlogfile -novalidate -noexit ");
    EXPECT_EQ(read.m_nWeekDay, 0);
    EXPECT_EQ(read.m_nOptionFour, 7);

    ASSERT_TRUE(reg.Open(HKEY_CURRENT_USER, CScheduleRecord::kKey, KEY_ALL_ACCESS));
    ASSERT_TRUE(reg.Write("SC_BWeekDay", std::int32_t{9}));
    ASSERT_TRUE(reg.DeleteValue("SC_JOB"));
    read.m_strJobName = "kept";
    read.LoadSchedule();
    EXPECT_EQ(read.m_nWeekDay, 6);
    EXPECT_EQ(read.m_strJobName, "kept");
    EXPECT_EQ(read.MakeTask().m_wWeekDays, 1u << 6);
}
