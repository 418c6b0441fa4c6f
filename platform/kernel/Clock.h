// The layer's millisecond clock: the monotonic clock, or, in tests, a manual
// clock that stands still until the test advances it. timeGetTime, message
// times and window timers all read it, so a test that drives time drives
// them together.
#pragma once

#include <cstdint>

namespace twl {

uint64_t ClockMilliseconds();
bool ClockIsManual();

// The 32-bit millisecond counter programs see (timeGetTime, GetTickCount
// and message times alike): the clock plus the testing offset, wrapping
// after 49.7 days.
uint32_t TickCount();
void SetTickOffset(uint32_t offset);

// Switching to the manual clock freezes it at the current time.
void UseManualClock(bool manual);
void AdvanceManualClock(uint64_t milliseconds);

}  // namespace twl
