// Kernel objects behind HANDLE values: files, events, mutexes, semaphores,
// threads and find handles. All live in one process-wide handle table.
//
// Waitable objects are examined and changed only under the dispatcher lock.
// A waiting thread registers with each object it waits for, and a change of
// an object's signal state wakes only the threads waiting for that object.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

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

// One thread's wait in WaitForMultipleObjects: woken by the objects it waits
// for and by moves of the manual clock.
struct Waiter {
  std::condition_variable wake;
};

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

  // Under the dispatcher lock.
  void AddWaiter(Waiter* waiter) { waiters_.push_back(waiter); }
  void RemoveWaiter(Waiter* waiter) { std::erase(waiters_, waiter); }
  // Wakes the threads waiting for this object; under the dispatcher lock,
  // after its signal state changed.
  void WakeWaiters() {
    for (Waiter* waiter : waiters_) waiter->wake.notify_one();
  }

 private:
  std::vector<Waiter*> waiters_;
};

// The lock under which all signal states are read and changed.
std::mutex& DispatcherLock();

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
