// The layer's millisecond clock: the monotonic clock, or, in tests, a manual
// clock that stands still until the test advances it. timeGetTime, message
// times and window timers all read it, so a test that drives time drives
// them together.
#pragma once

#include <cstdint>

namespace twl {

uint64_t ClockMilliseconds();
bool ClockIsManual();

// Switching to the manual clock freezes it at the current time.
void UseManualClock(bool manual);
void AdvanceManualClock(uint64_t milliseconds);

// While on and the clock is manual, Sleep advances the clock by its time
// instead of waiting, so code that polls with sleeps runs through test time
// at once.
void SetSleepAdvancesClock(bool on);
bool SleepAdvancesClock();

}  // namespace twl
