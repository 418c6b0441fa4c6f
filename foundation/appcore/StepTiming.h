// The application core's step timing as code below it sees it: a step is
// wrapped in BeginStepTiming and EndStepTiming(label), and the core (with
// its -z switch) logs how long it took as a "PERFORMANCE:" line. The core
// installs its timer at start; until then, and without -z, the calls do
// nothing. The timer measures nested steps on the user-interface thread.
#pragma once

class CStepTimer {
 public:
  virtual ~CStepTimer() = default;
  virtual void BeginTiming() = 0;
  virtual void EndTiming(const char* label) = 0;
};

// The timer is not owned; null removes it.
void SetStepTimer(CStepTimer* timer);
void BeginStepTiming();
void EndStepTiming(const char* label);

// Times the scope as one step.
class CTimedStep {
 public:
  explicit CTimedStep(const char* label) : m_Label(label) { BeginStepTiming(); }
  ~CTimedStep() { EndStepTiming(m_Label); }
  CTimedStep(const CTimedStep&) = delete;
  CTimedStep& operator=(const CTimedStep&) = delete;

 private:
  const char* m_Label;
};
