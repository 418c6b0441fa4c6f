#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>

#include "KernelObject.h"
#include "platform/crash/CrashStack.h"
#include "twlwin/testing.h"
#include "twlwin/threads.h"

namespace twl {
namespace {

class ThreadObject final : public Waitable {
 public:
  ThreadObject() : Waitable(ObjectKind::Thread) {}

  bool IsReady(DWORD) override { return finished_; }
  AcquireResult Acquire(DWORD) override { return AcquireResult::Acquired; }

  // Signalled when the thread has its id and when its suspend count drops.
  std::condition_variable started;

  // All fields below are guarded by the dispatcher lock.
  DWORD threadId = 0;
  DWORD suspendCount = 0;
  DWORD exitCode = STILL_ACTIVE;
  bool finished_ = false;
  int priority = THREAD_PRIORITY_NORMAL;
};

struct StartInfo {
  std::shared_ptr<ThreadObject> thread;
  DWORD (*start)(void*);
  unsigned (*startRuntime)(void*);
  void* argument;
};

// The object of the current thread when the layer started it. Its
// destructor runs as the thread ends, whether it returned or called
// ExitThread, and wakes whoever waits for the thread.
struct CurrentThread {
  std::shared_ptr<ThreadObject> object;
  ~CurrentThread() {
    if (!object) return;
    std::lock_guard lock(DispatcherLock());
    object->finished_ = true;
    object->WakeWaiters();
  }
};
thread_local CurrentThread currentThread;

std::atomic<DWORD> failThreadStarts{0};

void SetExitCode(DWORD code) {
  if (!currentThread.object) return;
  std::lock_guard lock(DispatcherLock());
  currentThread.object->exitCode = code;
}

void* ThreadEntry(void* raw) {
  std::unique_ptr<StartInfo> info(static_cast<StartInfo*>(raw));
  PrepareThreadForCrashes();
  currentThread.object = info->thread;
  {
    std::unique_lock lock(DispatcherLock());
    info->thread->threadId = GetCurrentThreadId();
    info->thread->started.notify_all();
    info->thread->started.wait(lock, [&] { return info->thread->suspendCount == 0; });
  }
  DWORD code = info->start ? info->start(info->argument) : info->startRuntime(info->argument);
  SetExitCode(code);
  return nullptr;
}

size_t StackSizeFor(size_t requested) {
  // Windows reserves at least a megabyte whatever the caller asks for, and
  // callers size their stacks for that: never go below the default.
  pthread_attr_t defaults;
  size_t size = 0;
  pthread_attr_init(&defaults);
  pthread_attr_getstacksize(&defaults, &size);
  pthread_attr_destroy(&defaults);
  return requested > size ? requested : size;
}

HANDLE StartThread(size_t stackSize, DWORD (*start)(void*), unsigned (*startRuntime)(void*), void* argument,
                   DWORD flags, DWORD* threadId) {
  if (DWORD failures = failThreadStarts.load(); failures > 0) {
    failThreadStarts.compare_exchange_strong(failures, failures - 1);
    errno = EAGAIN;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto thread = std::make_shared<ThreadObject>();
  thread->suspendCount = (flags & CREATE_SUSPENDED) ? 1 : 0;
  HANDLE handle = InsertHandle(thread);
  if (!handle) return nullptr;

  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
  pthread_attr_setstacksize(&attributes, StackSizeFor(stackSize));
  auto* info = new StartInfo{thread, start, startRuntime, argument};
  pthread_t pthread;
  int rc = pthread_create(&pthread, &attributes, ThreadEntry, info);
  pthread_attr_destroy(&attributes);
  if (rc != 0) {
    delete info;
    RemoveHandle(handle);
    errno = rc;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  // Callers get the id at once, as on Windows: wait for the thread to say it.
  std::unique_lock lock(DispatcherLock());
  thread->started.wait(lock, [&] { return thread->threadId != 0; });
  if (threadId) *threadId = thread->threadId;
  return handle;
}

std::shared_ptr<ThreadObject> ThreadOf(HANDLE handle) {
  if (handle == CurrentThreadPseudoHandle()) {
    if (currentThread.object) return currentThread.object;
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return FindHandleAs<ThreadObject>(handle, ObjectKind::Thread);
}

}  // namespace
}  // namespace twl

TWLAPI uintptr_t _beginthreadex(void*, unsigned stackSize, unsigned(WINAPI* start)(void*), void* argument,
                                unsigned flags, unsigned* threadId) {
  if (!start) {
    errno = EINVAL;
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  DWORD id = 0;
  HANDLE handle = twl::StartThread(stackSize, nullptr, start, argument, flags, &id);
  if (threadId) *threadId = id;
  return reinterpret_cast<uintptr_t>(handle);
}

TWLAPI void _endthreadex(unsigned exitCode) { ExitThread(exitCode); }

TWLAPI HANDLE CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T stackSize, LPTHREAD_START_ROUTINE start, LPVOID parameter,
                           DWORD flags, LPDWORD threadId) {
  if (!start) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return twl::StartThread(stackSize, start, nullptr, parameter, flags, threadId);
}

TWLAPI void ExitThread(DWORD exitCode) {
  twl::SetExitCode(exitCode);
  pthread_exit(nullptr);
}

TWLAPI DWORD ResumeThread(HANDLE handle) {
  auto thread = twl::ThreadOf(handle);
  if (!thread) return static_cast<DWORD>(-1);
  std::lock_guard lock(twl::DispatcherLock());
  DWORD previous = thread->suspendCount;
  if (previous > 0 && --thread->suspendCount == 0) thread->started.notify_all();
  return previous;
}

TWLAPI BOOL GetExitCodeThread(HANDLE handle, LPDWORD exitCode) {
  auto thread = twl::ThreadOf(handle);
  if (!thread || !exitCode) {
    if (thread) SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::lock_guard lock(twl::DispatcherLock());
  *exitCode = thread->finished_ ? thread->exitCode : STILL_ACTIVE;
  return TRUE;
}

TWLAPI DWORD GetCurrentThreadId() {
  thread_local const DWORD id = static_cast<DWORD>(syscall(SYS_gettid));
  return id;
}

TWLAPI DWORD GetCurrentProcessId() { return static_cast<DWORD>(getpid()); }

TWLAPI HANDLE GetCurrentThread() { return twl::CurrentThreadPseudoHandle(); }

TWLAPI HANDLE GetCurrentProcess() { return twl::CurrentProcessPseudoHandle(); }

// Priorities are remembered, not applied: Linux gives unprivileged threads
// no way to raise them, and lowering alone would skew the scheduling the
// program expects.
TWLAPI BOOL SetThreadPriority(HANDLE handle, int priority) {
  auto thread = twl::ThreadOf(handle);
  if (!thread) return FALSE;
  std::lock_guard lock(twl::DispatcherLock());
  thread->priority = priority;
  return TRUE;
}

TWLAPI int GetThreadPriority(HANDLE handle) {
  auto thread = twl::ThreadOf(handle);
  if (!thread) return THREAD_PRIORITY_ERROR_RETURN;
  std::lock_guard lock(twl::DispatcherLock());
  return thread->priority;
}

TWLAPI void TwlTestFailThreadStarts(DWORD count) { twl::failThreadStarts = count; }
