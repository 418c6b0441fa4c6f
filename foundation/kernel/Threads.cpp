#include "foundation/kernel/Threads.h"

#include <cstdlib>
#include <new>

#include "foundation/kernel/Globals.h"
#include "foundation/kernel/LibraryTls.h"
#include "foundation/kernel/MemoryError.h"

namespace {

struct ThreadStartRecord {
  LPTHREAD_START_ROUTINE function;
  LPVOID argument;
};

struct ThreadExitCallback {
  ThreadExitCallback* next;
  void (*callback)();
};

CRITICAL_SECTION g_ModuleLock;
LONG g_LiveThreads = 1;  // the main thread
bool g_ExitWaitRegistered = false;
bool g_ExitCallbackSlotFreed = false;

void ChangeLiveThreads(LONG delta) {
  EnterCriticalSection(&g_ModuleLock);
  g_LiveThreads += delta;
  LeaveCriticalSection(&g_ModuleLock);
}

void WaitForLiveThreads() {
  while (GetLiveThreadCount() > 1) Sleep(5);
}

// Made right after the first thread has started, so its destructor runs
// at exit before the destructors of everything that existed by then, the
// platform's thread bookkeeping included: no counted thread meets a
// destroyed global. A static object rather than an atexit function: its
// destructor belongs to the module that holds it, so a plug-in unloaded
// before the exit takes it along instead of leaving a call into unmapped
// code.
struct LiveThreadsExitWait {
  ~LiveThreadsExitWait() { WaitForLiveThreads(); }
};

void RegisterExitWait() { static LiveThreadsExitWait wait; }

unsigned WINAPI ThreadEntry(void* argument) {
  auto* record = static_cast<ThreadStartRecord*>(argument);
  const LPTHREAD_START_ROUTINE function = record->function;
  LPVOID functionArgument = record->argument;
  delete record;
  const DWORD result = function(functionArgument);
  RunThreadExitCallbacks();
  ChangeLiveThreads(-1);
  return result;
}

}  // namespace

void InitThreadModule() { InitializeCriticalSection(&g_ModuleLock); }

void ShutdownThreadModule() {
  WaitForLiveThreads();
  RunThreadExitCallbacks();
  TlsFree(GetThreadExitCallbackSlot());
  g_ExitCallbackSlotFreed = true;
  DeleteCriticalSection(&g_ModuleLock);
}

LONG GetLiveThreadCount() {
  GetFoundationGlobals();
  EnterCriticalSection(&g_ModuleLock);
  const LONG count = g_LiveThreads;
  LeaveCriticalSection(&g_ModuleLock);
  return count;
}

HANDLE BeginThread(LPSECURITY_ATTRIBUTES security, unsigned stackSize, LPTHREAD_START_ROUTINE function,
                   LPVOID argument, DWORD creationFlags, LPDWORD threadId) {
  if (!function) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  GetFoundationGlobals();
  auto* record = new (std::nothrow) ThreadStartRecord{function, argument};
  if (!record) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  InitLibraryTlsSlots();
  ChangeLiveThreads(+1);
  unsigned id = 0;
  const uintptr_t handle = _beginthreadex(security, stackSize, ThreadEntry, record, creationFlags, &id);
  if (!handle) {
    const DWORD error = GetLastError();
    delete record;
    ChangeLiveThreads(-1);
    SetLastError(error);
  } else {
    EnterCriticalSection(&g_ModuleLock);
    const bool registerWait = !g_ExitWaitRegistered;
    g_ExitWaitRegistered = true;
    LeaveCriticalSection(&g_ModuleLock);
    if (registerWait) RegisterExitWait();
  }
  if (threadId) *threadId = id;
  return reinterpret_cast<HANDLE>(handle);
}

void AddThreadExitCallback(void (*callback)()) {
  const DWORD slot = GetThreadExitCallbackSlot();
  auto* node = new (std::nothrow) ThreadExitCallback{static_cast<ThreadExitCallback*>(TlsGetValue(slot)), callback};
  if (!node) ThrowMemoryError();
  TlsSetValue(slot, node);
}

void RunThreadExitCallbacks() {
  if (g_ExitCallbackSlotFreed) return;
  const DWORD slot = GetThreadExitCallbackSlot();
  // The list is taken off the slot before it runs, so a callback that adds
  // another one starts a new list, which runs next.
  while (auto* node = static_cast<ThreadExitCallback*>(TlsGetValue(slot))) {
    TlsSetValue(slot, nullptr);
    while (node) {
      ThreadExitCallback* next = node->next;
      node->callback();
      delete node;
      node = next;
    }
  }
}
