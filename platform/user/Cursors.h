// The window manager's side of the cursor: WM_SETCURSOR for mouse input,
// and its default handling. No lock held on entry.
#pragma once

#include "twlwin/windowing.h"

namespace twl::user {

// Sends WM_SETCURSOR to the window a mouse message is for, unless a window
// has the mouse captured; other messages are ignored.
void SendSetCursor(const MSG& msg);

// DefWindowProcA's WM_SETCURSOR.
LRESULT DefaultSetCursor(HWND window, WPARAM wParam, LPARAM lParam);

}  // namespace twl::user
