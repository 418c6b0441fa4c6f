// Kernel objects behind HANDLE values: files, events, mutexes, semaphores,
// threads and find handles. All live in one process-wide handle table.
//
// Waitable objects are examined and changed only under the dispatcher lock,
// and every change of a signal state wakes the waiting threads.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>

#include "twlwin/types.h"

namespace twl {

enum class ObjectKind { File, Find, Event, Mutex, Semaphore, Thread, ChangeNotification, Other };

class KernelObject {
 public:
  explicit KernelObject(ObjectKind kind) : kind_(kind) {}
  KernelObject(const KernelObject&) = delete;
  KernelObject& operator=(const KernelObject&) = delete;
  virtual ~KernelObject() = default;

  ObjectKind Kind() const { return kind_; }

 private:
  ObjectKind kind_;
};

enum class AcquireResult { Acquired, Abandoned };

class Waitable : public KernelObject {
 public:
  using KernelObject::KernelObject;

  // Whether a wait by `threadId` would be satisfied now. Called under the
  // dispatcher lock; may take a cross-process lock that Acquire then keeps.
  virtual bool IsReady(DWORD threadId) = 0;
  // Consumes the signal (auto-reset events, mutex ownership, semaphore
  // counts). Only called right after IsReady answered true.
  virtual AcquireResult Acquire(DWORD threadId) = 0;
  // Gives back what IsReady took when the wait ends without acquiring.
  virtual void Unready() {}
  // Objects whose state other processes change are polled while waiting.
  virtual bool NeedsPolling() const { return false; }
};

// The lock under which all signal states are read and changed.
std::mutex& DispatcherLock();
// Wakes every waiting thread; call with the dispatcher lock held or just
// after changing a signal state under it.
void NotifyWaiters();
std::condition_variable& DispatcherSignal();

// Handle table access. Insert returns null when no id is left.
HANDLE InsertHandle(std::shared_ptr<KernelObject> object);
std::shared_ptr<KernelObject> FindHandle(HANDLE handle);
std::shared_ptr<KernelObject> RemoveHandle(HANDLE handle);

// The object behind `handle` if it is of the given kind; otherwise null and
// the last error is ERROR_INVALID_HANDLE.
template <class T>
std::shared_ptr<T> FindHandleAs(HANDLE handle, ObjectKind kind);

// The pseudo-handles of GetCurrentProcess and GetCurrentThread.
inline HANDLE CurrentProcessPseudoHandle() { return reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)); }
inline HANDLE CurrentThreadPseudoHandle() { return reinterpret_cast<HANDLE>(static_cast<intptr_t>(-2)); }

}  // namespace twl

#include "KernelObject.inl"
