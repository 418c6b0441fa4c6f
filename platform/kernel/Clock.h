// The layer's millisecond clock: the monotonic clock, or, in tests, a manual
// clock that stands still until the test advances it. timeGetTime, message
// times, window timers, Sleep and wait time-outs all go by it, so a test
// that drives time drives them together. Thread-safe.
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

// Functions called (with no lock held) after every step of the manual clock
// and when it is switched on or off, so that waits measured on the clock
// look at it again. Registered once, for the life of the process.
void AddClockWatcher(void (*watcher)());

// Sleeps until the clock has moved `milliseconds` on: in real time, or on
// the manual clock until the test has advanced it that far.
void SleepOnClock(uint64_t milliseconds);

}  // namespace twl
