// The mouse cursor: which one shows (SetCursor) and whether (ShowCursor).
// One cursor for the desktop; a window sets it when the window manager
// sends it WM_SETCURSOR for a mouse move or click over it (DefWindowProcA
// asks the parent first, then sets the class cursor over the client area
// and the arrow elsewhere). Any thread.
#pragma once

#include "types.h"

// Answers the cursor shown before; a null cursor shows none.
TWLAPI HCURSOR SetCursor(HCURSOR cursor);
TWLAPI HCURSOR GetCursor();
// Moves the display counter up (show) or down and answers its new value;
// the cursor shows while the counter is 0 or more.
TWLAPI int ShowCursor(BOOL show);
