// The library's own thread-local slots. All three are allocated together
// the first time any of them is asked for; their values start null on
// every thread.
#pragma once

#include <windows.h>

void InitLibraryTlsSlots();

// Head of the thread's exit-callback list (ThreadExitCallback nodes).
DWORD GetThreadExitCallbackSlot();
// The thread's assertion handler, used by the log.
DWORD GetAssertionHandlerSlot();
// Non-null between an allocation by the error allocator and the next error
// construction on the thread.
DWORD GetErrorAllocatorSlot();
