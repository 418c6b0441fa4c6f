#include <ctime>

#include "Clock.h"
#include "twlwin/testing.h"
#include "twlwin/time.h"

namespace {

uint64_t MonotonicNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
}

void FillSystemTime(const tm& fields, long nanoseconds, LPSYSTEMTIME time) {
  time->wYear = static_cast<WORD>(fields.tm_year + 1900);
  time->wMonth = static_cast<WORD>(fields.tm_mon + 1);
  time->wDayOfWeek = static_cast<WORD>(fields.tm_wday);
  time->wDay = static_cast<WORD>(fields.tm_mday);
  time->wHour = static_cast<WORD>(fields.tm_hour);
  time->wMinute = static_cast<WORD>(fields.tm_min);
  time->wSecond = static_cast<WORD>(fields.tm_sec);
  time->wMilliseconds = static_cast<WORD>(nanoseconds / 1000000);
}

}  // namespace

// Milliseconds since boot (or of the test clock), cut to 32 bits: the counter wraps after 49.7
// days, and callers compare differences of it.
TWLAPI DWORD timeGetTime() { return twl::TickCount(); }

TWLAPI DWORD GetTickCount() { return timeGetTime(); }

TWLAPI void GetLocalTime(LPSYSTEMTIME time) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm fields{};
  localtime_r(&now.tv_sec, &fields);
  FillSystemTime(fields, now.tv_nsec, time);
}

TWLAPI void GetSystemTime(LPSYSTEMTIME time) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm fields{};
  gmtime_r(&now.tv_sec, &fields);
  FillSystemTime(fields, now.tv_nsec, time);
}

TWLAPI BOOL QueryPerformanceCounter(LARGE_INTEGER* count) {
  count->QuadPart = static_cast<LONGLONG>(MonotonicNanoseconds());
  return TRUE;
}

TWLAPI BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
  frequency->QuadPart = 1000000000;
  return TRUE;
}

TWLAPI void TwlTestSetTickOffset(DWORD offset) { twl::SetTickOffset(offset); }
