// Opening the program's help from its folder: the old help file when it is
// there (through the help viewer), else the compiled help, at a topic's
// page or at its start through the program the desktop has for it; when
// the desktop has none, the text file that says how to get one. Failures
// are logged. `mainOwner` owns what the shell opens. User-interface thread.
#pragma once

#include <windows.h>

#include "foundation/kernel/Str.h"

// The folder ends with its separator. True when the help was opened.
bool OpenHelpFile(const CStr& folder, HWND owner, HWND mainOwner, int topic);
