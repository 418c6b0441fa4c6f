// Steps this process's real-time clock, as an administrator or a time
// service may step the system's: from now on CLOCK_REALTIME reads `seconds`
// away from the system's, for this test program and the libraries it
// loads. Other processes see the system's clock.
#pragma once

namespace desktoptest {

void StepRealTimeClock(long seconds);

}  // namespace desktoptest
