// Threads: the runtime's thread start (_beginthreadex) and CreateThread give
// waitable thread handles; thread ids are the kernel's thread ids.
// Thread-local slots (TlsAlloc) are process-wide indices with one value per
// thread.
#pragma once

#include "types.h"

typedef DWORD(WINAPI* LPTHREAD_START_ROUTINE)(LPVOID parameter);

#define CREATE_SUSPENDED 0x00000004u
#define STILL_ACTIVE 259u
#define TLS_OUT_OF_INDEXES 0xFFFFFFFFu

#define THREAD_PRIORITY_LOWEST (-2)
#define THREAD_PRIORITY_BELOW_NORMAL (-1)
#define THREAD_PRIORITY_NORMAL 0
#define THREAD_PRIORITY_ABOVE_NORMAL 1
#define THREAD_PRIORITY_HIGHEST 2
#define THREAD_PRIORITY_IDLE (-15)
#define THREAD_PRIORITY_TIME_CRITICAL 15
#define THREAD_PRIORITY_ERROR_RETURN 0x7FFFFFFF

// The runtime's form: returns the thread handle as an integer, 0 on failure
// (errno and the last error are set).
TWLAPI uintptr_t _beginthreadex(void* security, unsigned stackSize, unsigned(WINAPI* start)(void*), void* argument,
                                unsigned flags, unsigned* threadId);
TWLAPI void _endthreadex(unsigned exitCode);
TWLAPI HANDLE CreateThread(LPSECURITY_ATTRIBUTES attributes, SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                           LPVOID parameter, DWORD flags, LPDWORD threadId);
TWLAPI DWORD ResumeThread(HANDLE thread);
TWLAPI BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode);
TWLAPI void ExitThread(DWORD exitCode);
TWLAPI DWORD GetCurrentThreadId();
TWLAPI DWORD GetCurrentProcessId();
TWLAPI HANDLE GetCurrentThread();
TWLAPI HANDLE GetCurrentProcess();
TWLAPI BOOL SetThreadPriority(HANDLE thread, int priority);
TWLAPI int GetThreadPriority(HANDLE thread);

TWLAPI DWORD TlsAlloc();
TWLAPI BOOL TlsFree(DWORD index);
TWLAPI LPVOID TlsGetValue(DWORD index);
TWLAPI BOOL TlsSetValue(DWORD index, LPVOID value);

TWLAPI void Sleep(DWORD milliseconds);
TWLAPI DWORD SleepEx(DWORD milliseconds, BOOL alertable);
