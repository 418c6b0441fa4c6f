#include "SteppedClock.h"

#include <dlfcn.h>
#include <time.h>

#include <atomic>

namespace {

std::atomic<long> realTimeStep{0};

using ClockFunction = int (*)(clockid_t, timespec*);

ClockFunction RealClockGettime() {
  static auto real = reinterpret_cast<ClockFunction>(dlsym(RTLD_NEXT, "clock_gettime"));
  return real;
}

}  // namespace

namespace desktoptest {

void StepRealTimeClock(long seconds) { realTimeStep = seconds; }

}  // namespace desktoptest

// Stands in for the C library's clock_gettime in this program.
extern "C" int clock_gettime(clockid_t clock, timespec* now) {
  int result = RealClockGettime()(clock, now);
  if (result == 0 && clock == CLOCK_REALTIME) now->tv_sec += realTimeStep.load();
  return result;
}
