// Thread start through the library. BeginThread counts every thread it
// starts as alive until its function has returned and its exit callbacks
// have run; when the module ends (at process exit, before the library's
// other globals are destroyed) it waits until no counted thread is left.
// The count includes the main thread, so it is 1 while no thread runs.
#pragma once

#include <windows.h>

// Starts `function(argument)` on a new thread through the runtime's thread
// start. Returns the thread handle, which the caller owns and closes, or
// null when the thread could not be started (the last error tells why; the
// count is as it was). Creation flags as for _beginthreadex
// (CREATE_SUSPENDED).
HANDLE BeginThread(LPSECURITY_ATTRIBUTES security, unsigned stackSize, LPTHREAD_START_ROUTINE function,
                   LPVOID argument, DWORD creationFlags, LPDWORD threadId);

// Counted threads alive now, the main thread included.
LONG GetLiveThreadCount();

// Exit callbacks of the calling thread: run in list order, newest first,
// when a thread started by BeginThread ends (and for the thread that ends
// the module).
void AddThreadExitCallback(void (*callback)());
void RunThreadExitCallbacks();

// Module start and end; both are called by the library's globals.
void InitThreadModule();
void ShutdownThreadModule();
