#include "foundation/appcore/StepTiming.h"

#include <atomic>

namespace {

std::atomic<CStepTimer*> theTimer{nullptr};

}  // namespace

void SetStepTimer(CStepTimer* timer) { theTimer.store(timer); }

void BeginStepTiming() {
  if (CStepTimer* timer = theTimer.load()) timer->BeginTiming();
}

void EndStepTiming(const char* label) {
  if (CStepTimer* timer = theTimer.load()) timer->EndTiming(label);
}
