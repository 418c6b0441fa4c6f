// Synchronisation: critical sections (recursive, process-local), events and
// mutexes (waitable kernel objects), and the waits on kernel objects.
// Named mutexes serialise processes through the desktop folder; named
// events are shared by name inside one process.
#pragma once

#include <pthread.h>

#include "types.h"

// A critical section may be entered again by the thread that holds it.
typedef struct _RTL_CRITICAL_SECTION {
  pthread_mutex_t mutex;
  bool initialized;
} CRITICAL_SECTION, *LPCRITICAL_SECTION, *PCRITICAL_SECTION;

TWLAPI void InitializeCriticalSection(LPCRITICAL_SECTION section);
TWLAPI BOOL InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION section, DWORD spinCount);
TWLAPI void DeleteCriticalSection(LPCRITICAL_SECTION section);
TWLAPI void EnterCriticalSection(LPCRITICAL_SECTION section);
TWLAPI BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section);
TWLAPI void LeaveCriticalSection(LPCRITICAL_SECTION section);

#define INFINITE 0xFFFFFFFFu
#define WAIT_OBJECT_0 0x00000000u
#define WAIT_ABANDONED 0x00000080u
#define WAIT_ABANDONED_0 0x00000080u
#define WAIT_TIMEOUT 0x00000102u
#define WAIT_FAILED 0xFFFFFFFFu
#define MAXIMUM_WAIT_OBJECTS 64

#define SYNCHRONIZE 0x00100000u
#define EVENT_MODIFY_STATE 0x0002u
#define EVENT_ALL_ACCESS 0x001F0003u
#define MUTEX_ALL_ACCESS 0x001F0001u

TWLAPI HANDLE CreateEventA(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, BOOL initialState, LPCSTR name);
TWLAPI HANDLE OpenEventA(DWORD access, BOOL inherit, LPCSTR name);
TWLAPI BOOL SetEvent(HANDLE event);
TWLAPI BOOL ResetEvent(HANDLE event);

TWLAPI HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES attributes, BOOL initialOwner, LPCSTR name);
TWLAPI HANDLE OpenMutexA(DWORD access, BOOL inherit, LPCSTR name);
TWLAPI BOOL ReleaseMutex(HANDLE mutex);

TWLAPI HANDLE CreateSemaphoreA(LPSECURITY_ATTRIBUTES attributes, LONG initialCount, LONG maximumCount, LPCSTR name);
TWLAPI BOOL ReleaseSemaphore(HANDLE semaphore, LONG releaseCount, LPLONG previousCount);

TWLAPI DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
TWLAPI DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds);

TWLAPI LONG InterlockedIncrement(LONG volatile* value);
TWLAPI LONG InterlockedDecrement(LONG volatile* value);
TWLAPI LONG InterlockedExchange(LONG volatile* target, LONG value);
TWLAPI LONG InterlockedCompareExchange(LONG volatile* target, LONG exchange, LONG comparand);
