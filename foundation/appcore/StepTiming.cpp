#include "foundation/appcore/StepTiming.h"

#include <atomic>

namespace {

std::atomic<CStepTimer*> theTimer{nullptr};
std::atomic<DWORD> theTimedThread{0};

// The installed timer when the calling thread is the timed one.
CStepTimer* TimerOfThisThread() {
  CStepTimer* timer = theTimer.load();
  return timer && theTimedThread.load() == GetCurrentThreadId() ? timer : nullptr;
}

}  // namespace

void SetStepTimer(CStepTimer* timer) {
  theTimedThread.store(timer ? GetCurrentThreadId() : 0);
  theTimer.store(timer);
}

CStepTimer* GetStepTimer() { return theTimer.load(); }

TimedStep::TimedStep(const char* label) : m_Label(label), m_Timer(TimerOfThisThread()) {
  if (m_Timer) m_Timer->BeginTiming();
}

// A timer removed meanwhile is not called: it may be gone.
TimedStep::~TimedStep() {
  if (m_Timer && m_Timer == TimerOfThisThread()) m_Timer->EndTiming(m_Label);
}
