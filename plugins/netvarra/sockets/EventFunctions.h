// The Win32 event calls as Netvarra's threads use them: manual-reset
// events, waits that answer an index (or -1 for a time-out) and throw when
// the wait itself fails.
#pragma once

#include <windows.h>

#include <initializer_list>

// Not signalled, manual reset, unnamed. Throws a CError when none can be made.
HANDLE CreateManualResetEvent();
// The index of a signalled handle, or -1 when the time-out passed.
int WaitForEvents(const HANDLE* handles, DWORD count, bool waitForAll, DWORD timeoutMs);
// True unless the wait timed out.
bool IsEventSignalled(HANDLE handle, DWORD timeoutMs);
void CloseEvent(HANDLE handle);
// Closes each event that is open and forgets it.
void CloseEvents(std::initializer_list<HANDLE*> events);
void ResetEventHandle(HANDLE handle);
