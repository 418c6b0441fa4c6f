// The tick schedule: each duty at its period, the info field's start
// delay.
#include <gtest/gtest.h>

#include "windows/main/MainWindowSchedule.h"

namespace {

TEST(MainWindowSchedule, OverTwoHundredTicksEachDutyRunsAtItsPeriod) {
  MainWindowSchedule schedule;
  int runs[MainWindowSchedule::kDutyCount] = {};
  int firstRun[MainWindowSchedule::kDutyCount] = {};
  for (int tick = 1; tick <= 200; ++tick) {
    const uint32_t due = schedule.Tick();
    for (int duty = 0; duty < MainWindowSchedule::kDutyCount; ++duty)
      if (due & (1u << duty) && runs[duty]++ == 0) firstRun[duty] = tick;
  }
  const struct {
    MainWindowSchedule::Duty duty;
    int runs;
  } expected[] = {
      {MainWindowSchedule::kBytesRead, 10},    {MainWindowSchedule::kPosition, 66},
      {MainWindowSchedule::kProgressBar, 33},  {MainWindowSchedule::kProgressTooltip, 5},
      {MainWindowSchedule::kInfoScroll, 66},   {MainWindowSchedule::kReplayMouse, 5},
      {MainWindowSchedule::kNewPlugIns, 10},   {MainWindowSchedule::kFullScreen, 200},
      {MainWindowSchedule::kFolderPoll, 10},   {MainWindowSchedule::kTooltipTiming, 100},
      {MainWindowSchedule::kTrayHover, 20},    {MainWindowSchedule::kAuxWindows, 200},
      {MainWindowSchedule::kUpdateRetry, 1},
  };
  for (const auto& row : expected) {
    EXPECT_EQ(runs[row.duty], row.runs) << "duty " << row.duty;
    EXPECT_EQ(firstRun[row.duty], MainWindowSchedule::kPeriods[row.duty])
        << "a duty waits one full period first: duty " << row.duty;
  }
}

TEST(MainWindowSchedule, TheInfoFieldWaitsOutItsStartDelay) {
  MainWindowSchedule schedule;
  schedule.SetInfoDelay(MainWindowSchedule::kEntryChangeDelay);
  int firstScroll = 0;
  for (int tick = 1; tick <= 60 && firstScroll == 0; ++tick)
    if (schedule.Tick() & (1u << MainWindowSchedule::kInfoScroll)) firstScroll = tick;
  // Ticks 3, 6, ..., 30 fall in the delay; 33 is the first after it.
  EXPECT_EQ(firstScroll, 33);
  EXPECT_EQ(schedule.GetInfoDelay(), 0);
}

}  // namespace
