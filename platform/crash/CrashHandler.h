// The layer's handler of fault signals, which hands each crash to the
// program's unhandled-exception filter.
#pragma once

#include <sys/types.h>

namespace twl::crash {

// The kernel id of the thread whose crash filter is running, 0 when none.
// Safe inside a signal handler.
pid_t CrashingThread();
pid_t CurrentThreadId();

}  // namespace twl::crash
