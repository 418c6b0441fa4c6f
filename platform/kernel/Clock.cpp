#include "Clock.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <vector>

namespace twl {
namespace {

std::atomic<bool> manualClock{false};
std::atomic<uint64_t> manualNow{0};
std::atomic<uint32_t> tickOffset{0};
std::atomic<bool> sleepAdvances{false};

uint64_t MonotonicMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
}

// TWL_CLOCK=fast: the clock moves only by sleeps, each of which returns at
// once, so that a program that waits for a slow device in sleeps (the
// burner on its emulated recorder) runs through those waits at once.
const bool fastClockChosen = [] {
  const char* clock = std::getenv("TWL_CLOCK");
  if (!clock || std::strcmp(clock, "fast") != 0) return false;
  manualNow = MonotonicMilliseconds();
  manualClock = true;
  sleepAdvances = true;
  return true;
}();

// Sleepers on the manual clock wait here for it to move.
struct ManualSleep {
  std::mutex lock;
  std::condition_variable moved;
};

ManualSleep& Sleepers() {
  static auto* sleepers = new ManualSleep;
  return *sleepers;
}

struct Watchers {
  std::mutex lock;
  std::vector<void (*)()> all;
};

Watchers& ClockWatchers() {
  static auto* watchers = new Watchers;
  return *watchers;
}

void TellWatchers() {
  {
    ManualSleep& sleepers = Sleepers();
    std::lock_guard guard(sleepers.lock);
    sleepers.moved.notify_all();
  }
  std::vector<void (*)()> all;
  {
    std::lock_guard guard(ClockWatchers().lock);
    all = ClockWatchers().all;
  }
  for (auto watcher : all) watcher();
}

}  // namespace

uint64_t ClockMilliseconds() { return manualClock ? manualNow.load() : MonotonicMilliseconds(); }

bool ClockIsManual() { return manualClock; }

uint32_t TickCount() { return static_cast<uint32_t>(ClockMilliseconds()) + tickOffset.load(); }

void SetTickOffset(uint32_t offset) { tickOffset = offset; }

void UseManualClock(bool manual) {
  if (manual && !manualClock) manualNow = MonotonicMilliseconds();
  manualClock = manual;
  TellWatchers();
}

void AdvanceManualClock(uint64_t milliseconds) {
  {
    // Under the sleepers' lock, so that a sleeper that just read the clock
    // is waiting by the time it hears of the step.
    std::lock_guard guard(Sleepers().lock);
    manualNow += milliseconds;
  }
  TellWatchers();
}

void AddClockWatcher(void (*watcher)()) {
  std::lock_guard guard(ClockWatchers().lock);
  ClockWatchers().all.push_back(watcher);
}

void SleepOnClock(uint64_t milliseconds) {
  const uint64_t deadline = ClockMilliseconds() + milliseconds;
  ManualSleep& sleepers = Sleepers();
  std::unique_lock guard(sleepers.lock);
  for (;;) {
    uint64_t now = ClockMilliseconds();
    if (now >= deadline) return;
    if (manualClock)
      sleepers.moved.wait(guard);
    else
      sleepers.moved.wait_for(guard, std::chrono::milliseconds(deadline - now));
  }
}

void SetSleepAdvancesClock(bool on) { sleepAdvances = on; }

bool SleepAdvancesClock() { return sleepAdvances; }

}  // namespace twl
