#include <sched.h>

#include <chrono>
#include <thread>

#include "Clock.h"
#include "twlwin/sync.h"
#include "twlwin/threads.h"

// There are no asynchronous procedure calls, so an alertable sleep is a
// plain sleep that always runs to its end. Sleeps go by the layer's clock,
// so tests on the manual clock decide when they end.

TWLAPI void Sleep(DWORD milliseconds) {
  if (milliseconds == 0) {
    sched_yield();
    return;
  }
  if (milliseconds == INFINITE) {
    for (;;) std::this_thread::sleep_for(std::chrono::hours(24));
  }
  twl::SleepOnClock(milliseconds);
}

TWLAPI DWORD SleepEx(DWORD milliseconds, BOOL) {
  Sleep(milliseconds);
  return 0;
}
