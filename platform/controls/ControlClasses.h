// The window procedures of the controls, and their registration when the
// library loads.
#pragma once

#include "twlwin/windowing.h"

namespace twl::controls {

WNDPROC ButtonWindowProc();
WNDPROC StaticWindowProc();
WNDPROC EditWindowProc();
WNDPROC ListViewWindowProc();
WNDPROC ListBoxWindowProc();
WNDPROC TreeViewWindowProc();
WNDPROC ComboBoxWindowProc();
WNDPROC HeaderWindowProc();

}  // namespace twl::controls
