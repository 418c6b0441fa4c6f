// Registering a window class of the display code once per process: the
// class of the framework's hidden and helper windows, with CS_NOCLOSE, the
// given procedure and the program's module handle, nothing else. Any
// thread; a failed registration is tried again by the next call.
#pragma once

#include <windows.h>

#include <atomic>

// True when the class is registered (now or before).
bool RegisterWindowClassOnce(std::atomic<bool>& registered, const char* className, WNDPROC procedure);
