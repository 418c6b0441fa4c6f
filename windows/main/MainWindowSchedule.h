// The main window's tick schedule: one countdown per periodic duty of the
// 50 ms tick. Each tick counts every counter down; a counter that stood at
// 1 or less is loaded again with its period and its duty is due, so a duty
// of period n runs on every n-th tick. The info field has its own start
// delay besides: while it is above 0 it only counts down and the field
// does not scroll.
//
// Plain data of the user-interface thread.
#pragma once

#include <array>
#include <cstdint>

class MainWindowSchedule {
 public:
  // In the order the tick handler runs them.
  enum Duty : int {
    kBytesRead,
    kPosition,
    kProgressBar,
    kProgressTooltip,
    kInfoScroll,
    kReplayMouse,
    kNewPlugIns,
    kFullScreen,
    kFolderPoll,
    kTooltipTiming,
    kTrayHover,
    kAuxWindows,
    kUpdateRetry,
    kDutyCount
  };
  static constexpr int kTickInterval = 50;
  static constexpr int kEntryChangeDelay = 30;
  static constexpr int kFieldCreatedDelay = 10;

  static constexpr std::array<int, kDutyCount> kPeriods = {20, 3, 6, 40, 3, 40, 20, 1, 20, 2, 10, 1, 200};

  MainWindowSchedule() { Reload(); }

  // Every counter starts a full period away.
  void Reload() {
    m_Counters = kPeriods;
    m_InfoDelay = 0;
  }
  // Counts down; answers the due duties as bits (1 << Duty). The info
  // scroll is left out while its start delay runs.
  uint32_t Tick() {
    uint32_t due = 0;
    for (int duty = 0; duty < kDutyCount; ++duty) {
      int& counter = m_Counters[static_cast<size_t>(duty)];
      if (counter-- <= 1) {
        counter = kPeriods[static_cast<size_t>(duty)];
        due |= 1u << duty;
      }
    }
    if (m_InfoDelay > 0) {
      --m_InfoDelay;
      due &= ~(1u << kInfoScroll);
    }
    return due;
  }
  void SetInfoDelay(int ticks) { m_InfoDelay = ticks; }
  int GetInfoDelay() const { return m_InfoDelay; }

 private:
  std::array<int, kDutyCount> m_Counters{};
  int m_InfoDelay = 0;
};
