// Clocks: millisecond counters since boot that wrap at 32 bits, the local
// and UTC calendar time, and the high-resolution counter.
#pragma once

#include "types.h"

typedef struct _SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
} SYSTEMTIME, *PSYSTEMTIME, *LPSYSTEMTIME;

TWLAPI DWORD timeGetTime();
TWLAPI DWORD GetTickCount();
TWLAPI void GetLocalTime(LPSYSTEMTIME time);
TWLAPI void GetSystemTime(LPSYSTEMTIME time);
TWLAPI BOOL QueryPerformanceCounter(LARGE_INTEGER* count);
TWLAPI BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);
