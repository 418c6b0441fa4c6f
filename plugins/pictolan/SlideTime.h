// How long the current picture still stays: the display time counted from
// the start of the display, moved on by every pause of this picture. The
// deadline is computed in 64 bits, so any stored display time (up to
// 2^32 - 1 ms) is a time in the future and not a negative remainder.
// Guarded by its own lock: the user-interface thread pauses and resumes,
// the loader reads the remainder.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

namespace pictolan {

class SlideTime {
 public:
  static constexpr DWORD kDefaultDisplayTime = 5000;

  SlideTime();
  ~SlideTime();
  SlideTime(const SlideTime&) = delete;
  SlideTime& operator=(const SlideTime&) = delete;

  // 0: the picture stays until the player stops.
  void SetDisplayTime(DWORD milliseconds);
  DWORD GetDisplayTime();
  // A new picture: no pause so far.
  void Restart();
  // Each returns whether anything changed.
  bool Pause(DWORD now);
  bool Resume(DWORD now);
  bool IsPaused();
  // Milliseconds left of a display that began at `start`, 0 when the time
  // is over; none while paused or with display time 0.
  std::optional<DWORD> Remaining(DWORD start, DWORD now);

 private:
  CRITICAL_SECTION m_Lock;
  DWORD m_DisplayTime = kDefaultDisplayTime;
  bool m_Paused = false;
  uint64_t m_PausedTime = 0;
  DWORD m_PauseStart = 0;
};

}  // namespace pictolan
