// A hidden window of the calling thread for twltool's subcommands: what
// DirectSound's cooperative level belongs to, and where mixer notices go.
#pragma once

#include <windows.h>

namespace twltool {

// Null when the window cannot be made.
HWND MakeHiddenWindow();

}  // namespace twltool
