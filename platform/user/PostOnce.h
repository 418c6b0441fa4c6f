// Posting a notice that needs to wait in a queue only once: the socket
// layer's readiness notices say "look again", so a second copy behind one
// not yet taken would only grow the queue.
#pragma once

#include "twlwin/types.h"
#include "twlwin/windowing.h"

namespace twl::user {

// As PostMessageA, but a message equal in window, number and both
// parameters that still waits in the window's queue makes the post a
// success without a second copy.
BOOL PostMessageOnce(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace twl::user
