#include "plugins/pictolan/SlideTime.h"

#include <algorithm>

namespace pictolan {
namespace {

class Locked {
 public:
  explicit Locked(CRITICAL_SECTION& section) : m_Section(section) { EnterCriticalSection(&m_Section); }
  ~Locked() { LeaveCriticalSection(&m_Section); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;

 private:
  CRITICAL_SECTION& m_Section;
};

}  // namespace

SlideTime::SlideTime() { InitializeCriticalSection(&m_Lock); }
SlideTime::~SlideTime() { DeleteCriticalSection(&m_Lock); }

void SlideTime::SetDisplayTime(DWORD milliseconds) {
  Locked lock(m_Lock);
  m_DisplayTime = milliseconds;
}

DWORD SlideTime::GetDisplayTime() {
  Locked lock(m_Lock);
  return m_DisplayTime;
}

void SlideTime::Restart() {
  Locked lock(m_Lock);
  m_Paused = false;
  m_PausedTime = 0;
  m_PauseStart = 0;
}

bool SlideTime::Pause(DWORD now) {
  Locked lock(m_Lock);
  if (m_Paused) return false;
  m_PauseStart = now;
  m_Paused = true;
  return true;
}

bool SlideTime::Resume(DWORD now) {
  Locked lock(m_Lock);
  if (!m_Paused) return false;
  // Every pause of the picture moves its end, not only the latest one.
  m_PausedTime += static_cast<DWORD>(now - m_PauseStart);
  m_Paused = false;
  return true;
}

bool SlideTime::IsPaused() {
  Locked lock(m_Lock);
  return m_Paused;
}

std::optional<DWORD> SlideTime::Remaining(DWORD start, DWORD now) {
  Locked lock(m_Lock);
  if (m_Paused || m_DisplayTime == 0) return std::nullopt;
  // The clock wraps; the time since the start does not exceed 49 days.
  const uint64_t elapsed = static_cast<DWORD>(now - start);
  const uint64_t due = uint64_t{m_DisplayTime} + m_PausedTime;
  if (elapsed >= due) return DWORD{0};
  return static_cast<DWORD>(std::min<uint64_t>(due - elapsed, INFINITE - 1));
}

}  // namespace pictolan
