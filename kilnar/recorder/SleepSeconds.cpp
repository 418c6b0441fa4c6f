#include "kilnar/recorder/SleepSeconds.h"

#include <windows.h>

void SleepSeconds(uint32_t seconds) {
  // In steps that fit Sleep's 32-bit milliseconds.
  constexpr uint32_t kStep = 3600;
  while (seconds > 0) {
    const uint32_t step = seconds < kStep ? seconds : kStep;
    Sleep(step * 1000);
    seconds -= step;
  }
}
