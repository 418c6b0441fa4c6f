// The window manager's side of CBT hooks: asking the hooks of a window's
// thread before a change happens. The hooks run on that thread (a call
// from another thread waits for it), with no lock of the window manager
// held. Both answer false at once when no hook is installed.
#pragma once

#include "twlwin/windowing.h"

namespace twl::user {

// Before `window`'s top-level window becomes its thread's active window
// (`how` is WA_ACTIVE or WA_CLICKACTIVE). True when a hook refuses.
bool ActivationRefusedByHook(HWND window, int how);

// Before ShowWindow(window, command) minimises, maximises or restores the
// window. True when a hook refuses.
bool MinMaxRefusedByHook(HWND window, int command);

}  // namespace twl::user
