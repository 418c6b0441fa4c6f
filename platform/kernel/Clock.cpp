#include "Clock.h"

#include <atomic>
#include <ctime>

namespace twl {
namespace {

std::atomic<bool> manualClock{false};
std::atomic<uint64_t> manualNow{0};
std::atomic<bool> sleepAdvances{false};

uint64_t MonotonicMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
}

}  // namespace

uint64_t ClockMilliseconds() { return manualClock ? manualNow.load() : MonotonicMilliseconds(); }

bool ClockIsManual() { return manualClock; }

void UseManualClock(bool manual) {
  if (manual && !manualClock) manualNow = MonotonicMilliseconds();
  manualClock = manual;
}

void AdvanceManualClock(uint64_t milliseconds) { manualNow += milliseconds; }

void SetSleepAdvancesClock(bool on) { sleepAdvances = on; }

bool SleepAdvancesClock() { return sleepAdvances; }

}  // namespace twl
