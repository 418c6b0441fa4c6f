#include "Clock.h"

#include <atomic>
#include <ctime>

namespace twl {
namespace {

std::atomic<bool> manualClock{false};
std::atomic<uint64_t> manualNow{0};
std::atomic<uint32_t> tickOffset{0};

uint64_t MonotonicMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
}

}  // namespace

uint64_t ClockMilliseconds() { return manualClock ? manualNow.load() : MonotonicMilliseconds(); }

bool ClockIsManual() { return manualClock; }

uint32_t TickCount() { return static_cast<uint32_t>(ClockMilliseconds()) + tickOffset.load(); }

void SetTickOffset(uint32_t offset) { tickOffset = offset; }

void UseManualClock(bool manual) {
  if (manual && !manualClock) manualNow = MonotonicMilliseconds();
  manualClock = manual;
}

void AdvanceManualClock(uint64_t milliseconds) { manualNow += milliseconds; }

}  // namespace twl
