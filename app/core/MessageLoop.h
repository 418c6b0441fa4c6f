// The user-interface thread's message loop. PumpMessage is also the pump
// of every modal window, so a WM_QUIT one of them takes ends the program's
// loop too. User-interface thread only.
#pragma once

#include <windows.h>

// Takes one message: deferred sends go out first, then the message is
// translated and dispatched; WM_QUIT sets the quit flag. Answers what
// GetMessageA answered.
BOOL PumpMessage();

// Pumps until the quit flag is set; false only when GetMessageA failed.
bool RunMessageLoop();
