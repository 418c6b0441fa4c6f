// The hidden windows of Netvarra's socket and lookup threads belong to
// classes registered once per process (class style CS_NOCLOSE, the main
// module's instance, no icon, cursor, brush or menu).
#pragma once

#include <windows.h>

// True when the class is registered now: by this call, or by another thread
// meanwhile (a failed registration waits 100 ms and looks again).
bool RegisterMessageWindowClass(const char* name, WNDPROC procedure);

// A hidden pop-up window of that class at (-500, -500), 10 x 10, no owner,
// carrying `object` as its user data; null when it cannot be made.
HWND CreateMessageWindow(const char* className, const char* title, void* object);
