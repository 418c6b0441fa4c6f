// Step timing: with the command-line switch -z the application core times
// the steps of the program and logs one "PERFORMANCE:" line per step. The
// core installs its timer; code below it marks a step with a TimedStep and
// needs no system object, so tools and tests without one time nothing.
// The measurements form one nested stack, so only the thread that
// installed the timer is timed; steps run by other threads (a plug-in's
// call, say) are not measured rather than mixed into that stack.
#pragma once

#include <windows.h>

class CStepTimer {
 public:
  virtual ~CStepTimer() = default;
  virtual void BeginTiming() = 0;
  virtual void EndTiming(const char* label) = 0;
};

// Installs the timer for the calling thread (not owned); null removes it.
void SetStepTimer(CStepTimer* timer);
CStepTimer* GetStepTimer();

// Times its own life under the label: begins when made, ends on every way
// out of the scope.
class TimedStep {
 public:
  explicit TimedStep(const char* label);
  ~TimedStep();
  TimedStep(const TimedStep&) = delete;
  TimedStep& operator=(const TimedStep&) = delete;

 private:
  const char* m_Label;
  CStepTimer* m_Timer;
};
