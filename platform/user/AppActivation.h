// WM_ACTIVATEAPP: when activation moves between threads, or a thread's
// last window lets go of it, each top-level window of the thread that gains
// or loses it is told. The message is posted, so the thread's message loop
// sees it before it is dispatched. No lock held on entry.
#pragma once

#include "twlwin/windowing.h"

namespace twl::user {

// For the calling thread: wParam `active`, lParam the thread on the other
// side (0 when none or not known).
void PostActivateApp(bool active, DWORD otherThreadId);

}  // namespace twl::user
