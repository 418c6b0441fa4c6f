// Turning a fault signal into the exception record and register context
// that a crash filter gets, and a context the filter changed back into the
// thread's registers. Safe inside a signal handler: no allocation, no locks.
#pragma once

#include <signal.h>
#include <ucontext.h>

#include "twlwin/crash.h"

namespace twl::crash {

void DescribeSignal(int signal, const siginfo_t& info, const ucontext_t& thread, EXCEPTION_RECORD& record,
                    CONTEXT& context);

// Writes the general registers, flags and instruction pointer of `context`
// into the thread's saved state. A 32-bit register name that the filter
// changed replaces the low half of its 64-bit register.
void ApplyContext(const CONTEXT& context, ucontext_t& thread);

}  // namespace twl::crash
